#include "ui/error_text.h"

namespace ui {

std::wstring ErrorBoxText(std::wstring message) {
  if (!message.empty() && message.back() > L'.') message.push_back(L'.');
  return message;
}

std::wstring ApplicationTitle(const std::wstring& exe_path, std::wstring (*lower)(const std::wstring&)) {
  const auto slash = exe_path.find_last_of(L"\\/:");
  std::wstring name = slash == std::wstring::npos ? exe_path : exe_path.substr(slash + 1);
  const auto dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  if (name.size() > 1) name = name.substr(0, 1) + lower(name.substr(1));
  return name;
}

}  // namespace ui
