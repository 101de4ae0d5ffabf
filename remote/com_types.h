#pragma once
// Owners of the automation types that cross the COM boundary (BSTR, VARIANT, SAFEARRAY data,
// EXCEPINFO), and the text conversions around them. Windows only.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace remote {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
// From and to the system's ANSI code page (936 on the system's computers).
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);

// The system's text for an error code (FormatMessage), UTF-8; empty when it has none.
std::string SystemErrorText(HRESULT code);

// An owned BSTR. A default one is null, which automation treats as empty.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::wstring_view text);  // throws std::bad_alloc
  static Bstr FromUtf8(std::string_view text) { return Bstr(Utf8ToWide(text)); }
  ~Bstr() { SysFreeString(bstr_); }
  Bstr(Bstr&& other) noexcept : bstr_(other.Release()) {}
  Bstr& operator=(Bstr&& other) noexcept;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return bstr_; }
  BSTR* Put();  // frees the current string: for out-parameters
  BSTR Release();
  std::wstring_view View() const { return {bstr_, bstr_ ? SysStringLen(bstr_) : 0u}; }
  std::string ToUtf8() const { return WideToUtf8(View()); }

 private:
  BSTR bstr_ = nullptr;
};

// An owned VARIANT, cleared when it goes.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* get() { return &value_; }
  const VARIANT& operator*() const { return value_; }
  VARIANT* Put() {  // clears the current value: for out-parameters
    VariantClear(&value_);
    return &value_;
  }
  // Hands the value over; this one is left empty.
  VARIANT Release() {
    VARIANT v = value_;
    VariantInit(&value_);
    return v;
  }

 private:
  VARIANT value_;
};

// Direct access to a SAFEARRAY's elements for as long as it lives.
class SafeArrayData {
 public:
  explicit SafeArrayData(SAFEARRAY* array) : array_(array) {
    if (FAILED(SafeArrayAccessData(array_, &data_))) array_ = nullptr, data_ = nullptr;
  }
  ~SafeArrayData() {
    if (array_) SafeArrayUnaccessData(array_);
  }
  SafeArrayData(const SafeArrayData&) = delete;
  SafeArrayData& operator=(const SafeArrayData&) = delete;
  void* get() const { return data_; }  // null when access failed

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

// An EXCEPINFO whose strings are freed when it goes.
class ExcepInfo : public EXCEPINFO {
 public:
  ExcepInfo() : EXCEPINFO{} {}
  ~ExcepInfo() {
    SysFreeString(bstrSource);
    SysFreeString(bstrDescription);
    SysFreeString(bstrHelpFile);
  }
  ExcepInfo(const ExcepInfo&) = delete;
  ExcepInfo& operator=(const ExcepInfo&) = delete;
};

}  // namespace remote
