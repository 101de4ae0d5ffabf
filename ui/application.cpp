#include "ui/application.h"

#include "ui/error_text.h"

#include <vector>

namespace ui {
namespace {

std::wstring ToWide(UINT code_page, const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::wstring SystemLower(const std::wstring& text) {
  std::wstring out = text;
  if (!out.empty()) CharLowerBuffW(out.data(), static_cast<DWORD>(out.size()));
  return out;
}

}  // namespace

std::wstring Application::Title() const {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) return ApplicationTitle(std::wstring(path.data(), n), SystemLower);
    path.resize(path.size() * 2);
  }
}

void Application::ShowException(const std::exception& error) const { ShowError(Utf8ToWide(error.what())); }

void Application::ShowError(const std::wstring& message) const {
  MessageBoxW(handle_, ErrorBoxText(message).c_str(), Title().c_str(), MB_OK | MB_ICONERROR);
}

Application& TheApplication() {
  static Application application;
  return application;
}

std::wstring Utf8ToWide(const std::string& text) { return ToWide(CP_UTF8, text); }
std::wstring AnsiToWide(const std::string& text) { return ToWide(CP_ACP, text); }

std::string WideToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace ui
