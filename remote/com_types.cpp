#include "remote/com_types.h"

#include <memory>
#include <new>

namespace remote {

namespace {

std::wstring ToWide(UINT code_page, std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string FromWide(UINT code_page, std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }
std::string WideToUtf8(std::wstring_view text) { return FromWide(CP_UTF8, text); }
std::wstring AnsiToWide(std::string_view text) { return ToWide(CP_ACP, text); }
std::string WideToAnsi(std::wstring_view text) { return FromWide(CP_ACP, text); }

std::string SystemErrorText(HRESULT code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  struct Free {
    void operator()(wchar_t* p) const { LocalFree(p); }
  };
  const std::unique_ptr<wchar_t, Free> owned(buffer);
  if (n == 0 || !buffer) return {};
  return WideToUtf8(std::wstring_view(buffer, n));
}

Bstr::Bstr(std::wstring_view text) : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
  if (!bstr_) throw std::bad_alloc();
}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
  if (this != &other) {
    SysFreeString(bstr_);
    bstr_ = other.Release();
  }
  return *this;
}

BSTR* Bstr::Put() {
  SysFreeString(bstr_);
  bstr_ = nullptr;
  return &bstr_;
}

BSTR Bstr::Release() {
  BSTR b = bstr_;
  bstr_ = nullptr;
  return b;
}

}  // namespace remote
