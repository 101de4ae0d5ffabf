#include "remote/com_error.h"

#include <cstdio>

namespace remote {

std::string TrimDescription(std::string_view text) {
  std::size_t n = text.size();
  // UTF-8 continuation and lead bytes are all above 0x7F, so a byte test is safe here.
  while (n > 0) {
    const auto c = static_cast<unsigned char>(text[n - 1]);
    if (c > ' ' && c != '.') break;
    --n;
  }
  return std::string(text.substr(0, n));
}

std::string OleErrorText(std::uint32_t code) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "OLE error %.8x", static_cast<unsigned>(code));
  return buffer;
}

std::string ComErrorText(std::string_view description, std::string_view system_text, std::uint32_t code) {
  std::string text = TrimDescription(description);
  if (text.empty()) text = TrimDescription(system_text);
  if (text.empty()) text = OleErrorText(code);
  return text;
}

}  // namespace remote
