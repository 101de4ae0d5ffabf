#pragma once
// The errors of the connection and the text of a failing COM call. Portable: no <windows.h>.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace remote {

// A failure of the connection or of a call to the server. what() is the message, UTF-8.
class ComError : public std::runtime_error {
 public:
  explicit ComError(const std::string& message, std::uint32_t code = 0)
      : std::runtime_error(message), code_(code) {}
  // The failing HRESULT; 0 for the connection's own checks ("DCOM not installed", ...).
  std::uint32_t code() const { return code_; }

 private:
  std::uint32_t code_;
};

// `text` without trailing blanks, control characters and periods.
std::string TrimDescription(std::string_view text);

// "OLE error 80040154": the text of a code for which the system has none.
std::string OleErrorText(std::uint32_t code);

// The message of a failing call: the server's description trimmed; when that is empty, the
// system's text for `code` trimmed; when that is empty too, OleErrorText(code).
std::string ComErrorText(std::string_view description, std::string_view system_text, std::uint32_t code);

}  // namespace remote
