#include "remote/connect_rules.h"

#include <string>

#include "remote/com_error.h"

namespace remote {

ClassIdSource ChooseClassIdSource(bool server_guid_is_null, std::string_view server_name,
                                  std::string_view connection_name) {
  if (!server_guid_is_null) return ClassIdSource::kServerGuid;
  if (!server_name.empty()) return ClassIdSource::kServerName;
  throw ComError("Cannot connect, " + std::string(connection_name) +
                 " must contain a valid ServerName or ServerGUID");
}

Creation ChooseCreation(std::string_view computer_name, bool dcom_installed,
                        std::optional<std::string_view> this_computer) {
  if (computer_name.empty()) return {false, kContextThisComputerOnly};
  if (!dcom_installed) throw ComError("DCOM not installed");
  const bool here = this_computer && SameComputerName(*this_computer, computer_name);
  return {true, here ? kContextAnyServer : kContextRemoteOnly};
}

namespace {
unsigned char AsciiLower(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}
}  // namespace

bool SameComputerName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x >= 0x81 && x <= 0xFE) {  // a lead byte of code page 936: both bytes exactly
      if (x != y) return false;
      if (++i < a.size() && a[i] != b[i]) return false;
      continue;
    }
    if (AsciiLower(x) != AsciiLower(y)) return false;
  }
  return true;
}

}  // namespace remote
