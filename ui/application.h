#pragma once
// The application object of the form layer: the window handle that the host gives (the
// owner of every window made without a parent), the application title and the default
// error handling.
#include <windows.h>

#include <exception>
#include <string>

namespace ui {

class Application {
 public:
  // The host's window; zero removes the handle that an earlier call gave.
  HWND Handle() const { return handle_; }
  void SetHandle(HWND handle) { handle_ = handle; }

  // The host program's file name without folder and extension, first character kept and
  // the rest in lower case.
  std::wstring Title() const;

  // The default error handling: a message box with the error's text, the title as caption,
  // an error icon and one OK button, owned by the host's window.
  void ShowException(const std::exception& error) const;
  void ShowError(const std::wstring& message) const;

 private:
  HWND handle_ = nullptr;
};

// The one application object of the module.
Application& TheApplication();

// Text conversions between the module's UTF-8 strings, the system's ANSI code page and the
// wide strings that Win32 takes.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);

}  // namespace ui
