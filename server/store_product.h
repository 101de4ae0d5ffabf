#pragma once
// The application server object, class CoStoreProduct: IAppServer (dual) over the store,
// with error information on every failure.
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <atomic>
#include <string>

#include "remote/app_server.h"
#include "server/store.h"

namespace server {

class StoreProduct final : public IAppServer, public ISupportErrorInfo {
 public:
  // `type_info` describes IAppServer (from the server's type library).
  StoreProduct(const Store& store, ITypeInfo* type_info);
  StoreProduct(const StoreProduct&) = delete;
  StoreProduct& operator=(const StoreProduct&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch, through the type library
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* bad_argument) override;

  // IAppServer
  HRESULT STDMETHODCALLTYPE AS_ApplyUpdates(BSTR provider, VARIANT delta, LONG max_errors, LONG* error_count,
                                            VARIANT* owner_data, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE AS_GetRecords(BSTR provider, LONG count, LONG* records_sent, LONG options,
                                          BSTR command_text, VARIANT* params, VARIANT* owner_data,
                                          VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE AS_DataRequest(BSTR provider, VARIANT data, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE AS_GetProviderNames(VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE AS_GetParams(BSTR provider, VARIANT* owner_data, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE AS_RowRequest(BSTR provider, VARIANT row, LONG request_type, VARIANT* owner_data,
                                          VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE AS_Execute(BSTR provider, BSTR command_text, VARIANT* params,
                                       VARIANT* owner_data) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

 private:
  ~StoreProduct();
  // Sets the error information for the caller and returns `code`.
  HRESULT Fail(HRESULT code, const std::string& description);
  HRESULT NotSupported(const char* method);

  std::atomic<ULONG> references_{1};
  const Store& store_;
  Microsoft::WRL::ComPtr<ITypeInfo> type_info_;
  // The failure of the current call, for Invoke's EXCEPINFO.
  HRESULT last_code_ = S_OK;
  std::wstring last_description_;
};

}  // namespace server
