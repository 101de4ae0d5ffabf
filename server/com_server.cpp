#include "server/com_server.h"

#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <atomic>
#include <new>

#include "remote/dcom_connection.h"
#include "server/store_product.h"

using Microsoft::WRL::ComPtr;

namespace server {

namespace {

DWORD g_main_thread = 0;
std::atomic<bool> g_had_client{false};
constexpr UINT kIdleMilliseconds = 60 * 1000;

class ClassFactory final : public IClassFactory {
 public:
  ClassFactory(const Store& store, ITypeInfo* type_info) : store_(store), type_info_(type_info) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on RunServer's stack: COM's references do not decide its life.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* product = new (std::nothrow) StoreProduct(store_, type_info_);
    if (!product) return E_OUTOFMEMORY;
    g_had_client = true;
    const HRESULT hr = product->QueryInterface(iid, object);
    product->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      g_had_client = true;
      AddRefServerProcess();
    } else {
      ReleaseServerProcess();
    }
    return S_OK;
  }

 private:
  const Store& store_;
  ITypeInfo* type_info_;
};

// A registry key that closes itself.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* Put() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

LSTATUS SetValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  Key key;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                   key.Put(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

HRESULT FromStatus(LSTATUS status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

}  // namespace

void AddRefServerProcess() { CoAddRefServerProcess(); }

void ReleaseServerProcess() {
  if (CoReleaseServerProcess() == 0 && g_main_thread) PostThreadMessageW(g_main_thread, WM_QUIT, 0, 0);
}

int RunServer(const Store& store, ITypeInfo* type_info) {
  g_main_thread = GetCurrentThreadId();
  ClassFactory factory(store, type_info);
  DWORD cookie = 0;
  HRESULT hr = CoRegisterClassObject(remote::kStoreProductClsid, &factory, CLSCTX_LOCAL_SERVER,
                                     REGCLS_MULTIPLEUSE | REGCLS_SUSPENDED, &cookie);
  if (FAILED(hr)) return 1;
  hr = CoResumeClassObjects();
  const UINT_PTR idle_timer = SetTimer(nullptr, 0, kIdleMilliseconds, nullptr);
  MSG msg;
  while (SUCCEEDED(hr) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == idle_timer) {
      KillTimer(nullptr, idle_timer);
      if (!g_had_client) break;  // started, but nobody came
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  CoRevokeClassObject(cookie);
  g_main_thread = 0;
  return SUCCEEDED(hr) ? 0 : 1;
}

HRESULT LoadServerTypeInfo(const std::wstring& exe, ITypeLib** library, ITypeInfo** info) {
  HRESULT hr = LoadTypeLibEx(exe.c_str(), REGKIND_NONE, library);
  if (FAILED(hr)) return hr;
  return (*library)->GetTypeInfoOfGuid(__uuidof(IAppServer), info);
}

HRESULT RegisterServer(const std::wstring& exe, const std::filesystem::path& store) {
  ComPtr<ITypeLib> library;
  ComPtr<ITypeInfo> info;
  HRESULT hr = LoadServerTypeInfo(exe, &library, &info);
  if (FAILED(hr)) return hr;
  TLIBATTR* attributes = nullptr;
  hr = library->GetLibAttr(&attributes);
  if (FAILED(hr)) return hr;
  const std::wstring library_id = GuidText(attributes->guid);
  const std::wstring version =
      std::to_wstring(attributes->wMajorVerNum) + L"." + std::to_wstring(attributes->wMinorVerNum);
  library->ReleaseTLibAttr(attributes);

  std::wstring command = L"\"" + exe + L"\"";
  if (!store.empty()) command += L" /store \"" + std::filesystem::absolute(store).wstring() + L"\"";
  const std::wstring clsid_key = L"CLSID\\" + GuidText(remote::kStoreProductClsid);
  const struct {
    std::wstring path;
    const wchar_t* name;
    std::wstring value;
  } values[] = {
      {clsid_key, nullptr, L"CoStoreProduct Object"},
      {clsid_key + L"\\LocalServer32", nullptr, command},
      {clsid_key + L"\\ProgID", nullptr, kProgId},
      {clsid_key + L"\\TypeLib", nullptr, library_id},
      {clsid_key + L"\\Version", nullptr, version},
      {kProgId, nullptr, L"CoStoreProduct Object"},
      {std::wstring(kProgId) + L"\\CLSID", nullptr, GuidText(remote::kStoreProductClsid)},
  };
  for (const auto& v : values) {
    hr = FromStatus(SetValue(v.path, v.name, v.value));
    if (FAILED(hr)) return hr;
  }
  // Writes Interface\{IAppServer} with the type-library marshaller as its proxy.
  std::wstring path = exe;  // RegisterTypeLib takes a writable string
  return RegisterTypeLib(library.Get(), path.data(), nullptr);
}

HRESULT UnregisterServer(const std::wstring& exe) {
  HRESULT result = S_OK;
  auto remove = [&](const std::wstring& path) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && SUCCEEDED(result))
      result = FromStatus(status);
  };
  remove(L"CLSID\\" + GuidText(remote::kStoreProductClsid));
  remove(kProgId);

  ComPtr<ITypeLib> library;
  ComPtr<ITypeInfo> info;
  if (SUCCEEDED(LoadServerTypeInfo(exe, &library, &info))) {
    TLIBATTR* a = nullptr;
    if (SUCCEEDED(library->GetLibAttr(&a))) {
      BSTR registered = nullptr;  // only a registered library is removed: Wine fails the others
      if (SUCCEEDED(QueryPathOfRegTypeLib(a->guid, a->wMajorVerNum, a->wMinorVerNum, a->lcid, &registered))) {
        SysFreeString(registered);
        const HRESULT hr = UnRegisterTypeLib(a->guid, a->wMajorVerNum, a->wMinorVerNum, a->lcid, a->syskind);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
      }
      library->ReleaseTLibAttr(a);
    }
  }
  return result;
}

}  // namespace server
