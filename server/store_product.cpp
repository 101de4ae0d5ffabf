#include "server/store_product.h"

#include <oleauto.h>

#include <cstring>
#include <new>

#include "remote/com_types.h"
#include "server/com_server.h"

namespace server {

namespace {

constexpr LONG kResetOption = 2;
constexpr wchar_t kSource[] = L"VeldoMISServer.CoStoreProduct";

}  // namespace

StoreProduct::StoreProduct(const Store& store, ITypeInfo* type_info) : store_(store), type_info_(type_info) {
  AddRefServerProcess();
}

StoreProduct::~StoreProduct() { ReleaseServerProcess(); }

HRESULT StoreProduct::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, __uuidof(IAppServer))) {
    *object = static_cast<IAppServer*>(this);
  } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
    *object = static_cast<ISupportErrorInfo*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG StoreProduct::AddRef() { return ++references_; }

ULONG StoreProduct::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT StoreProduct::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT StoreProduct::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  type_info_->AddRef();
  *info = type_info_.Get();
  return S_OK;
}

HRESULT StoreProduct::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return DispGetIDsOfNames(type_info_.Get(), names, count, ids);
}

HRESULT StoreProduct::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT* bad_argument) {
  last_code_ = S_OK;
  last_description_.clear();
  HRESULT hr = type_info_->Invoke(static_cast<IAppServer*>(this), id, flags, params, result, exception,
                                  bad_argument);
  // A method's own failure goes to the caller as an exception with its description, whatever
  // the type library's Invoke made of it.
  if (FAILED(last_code_) && exception) {
    SysFreeString(exception->bstrSource);
    SysFreeString(exception->bstrDescription);
    SysFreeString(exception->bstrHelpFile);
    *exception = EXCEPINFO{};
    exception->scode = last_code_;
    exception->bstrSource = SysAllocString(kSource);
    exception->bstrDescription = SysAllocString(last_description_.c_str());
    hr = DISP_E_EXCEPTION;
  }
  return hr;
}

HRESULT StoreProduct::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, __uuidof(IAppServer)) ? S_OK : S_FALSE;
}

HRESULT StoreProduct::Fail(HRESULT code, const std::string& description) {
  last_code_ = code;
  try {
    last_description_ = remote::Utf8ToWide(description);
  } catch (const std::bad_alloc&) {
    last_description_.clear();
  }
  Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    create->SetGUID(__uuidof(IAppServer));
    create->SetSource(const_cast<LPOLESTR>(kSource));
    create->SetDescription(const_cast<LPOLESTR>(last_description_.c_str()));
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
  }
  return code;
}

HRESULT StoreProduct::NotSupported(const char* method) {
  return Fail(E_NOTIMPL, std::string(method) + " is not supported by this server");
}

HRESULT StoreProduct::AS_GetRecords(BSTR provider, LONG count, LONG* records_sent, LONG options, BSTR, VARIANT*,
                                    VARIANT*, VARIANT* result) {
  if (!records_sent || !result) return E_POINTER;
  *records_sent = 0;
  VariantInit(result);
  try {
    if ((options & kResetOption) != 0 && count == 0) {  // the reset request: nothing to send
      V_VT(result) = VT_NULL;
      return S_OK;
    }
    // A stateless store: every request gets the whole table.
    Records records = store_.GetRecords(remote::WideToUtf8({provider, SysStringLen(provider)}));
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(records.packet.size()));
    if (!array) return Fail(E_OUTOFMEMORY, "Out of memory");
    {
      remote::SafeArrayData data(array);
      if (!data.get()) {
        SafeArrayDestroy(array);
        return Fail(E_UNEXPECTED, "Cannot fill the reply");
      }
      std::memcpy(data.get(), records.packet.data(), records.packet.size());
    }
    V_VT(result) = VT_ARRAY | VT_UI1;
    V_ARRAY(result) = array;
    *records_sent = records.rows;
    return S_OK;
  } catch (const std::exception& e) {
    return Fail(E_FAIL, e.what());
  }
}

HRESULT StoreProduct::AS_GetProviderNames(VARIANT* result) {
  if (!result) return E_POINTER;
  VariantInit(result);
  try {
    const std::vector<std::string> names = store_.ProviderNames();
    remote::Variant list;
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(names.size()));
    if (!array) return Fail(E_OUTOFMEMORY, "Out of memory");
    V_VT(list.get()) = VT_ARRAY | VT_VARIANT;  // the list owns the array from here
    V_ARRAY(list.get()) = array;
    for (LONG i = 0; i < static_cast<LONG>(names.size()); ++i) {
      remote::Variant name;
      V_VT(name.get()) = VT_BSTR;
      V_BSTR(name.get()) = remote::Bstr::FromUtf8(names[static_cast<std::size_t>(i)]).Release();
      const HRESULT hr = SafeArrayPutElement(array, &i, name.get());  // copies the element
      if (FAILED(hr)) return Fail(hr, "Cannot fill the reply");
    }
    *result = list.Release();
    return S_OK;
  } catch (const std::exception& e) {
    return Fail(E_FAIL, e.what());
  }
}

HRESULT StoreProduct::AS_ApplyUpdates(BSTR, VARIANT, LONG, LONG* error_count, VARIANT*, VARIANT* result) {
  if (error_count) *error_count = 0;
  if (result) VariantInit(result);
  return NotSupported("AS_ApplyUpdates");
}

HRESULT StoreProduct::AS_DataRequest(BSTR, VARIANT, VARIANT* result) {
  if (result) VariantInit(result);
  return NotSupported("AS_DataRequest");
}

HRESULT StoreProduct::AS_GetParams(BSTR, VARIANT*, VARIANT* result) {
  if (result) VariantInit(result);
  return NotSupported("AS_GetParams");
}

HRESULT StoreProduct::AS_RowRequest(BSTR, VARIANT, LONG, VARIANT*, VARIANT* result) {
  if (result) VariantInit(result);
  return NotSupported("AS_RowRequest");
}

HRESULT StoreProduct::AS_Execute(BSTR, BSTR, VARIANT*, VARIANT*) { return NotSupported("AS_Execute"); }

}  // namespace server
