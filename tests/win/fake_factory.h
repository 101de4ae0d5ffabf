#pragma once
// A class factory for the scripted servers that tests register with CoRegisterClassObject:
// each instance is a new Server made from the script.
#include <windows.h>

#include <objbase.h>

template <typename Server, typename Script>
class FakeFactory final : public IClassFactory {
 public:
  explicit FakeFactory(Script* script) : script_(script) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
    auto* fake = new Server(script_);  // holds one reference
    const HRESULT hr = fake->QueryInterface(iid, object);
    fake->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  ULONG references_ = 1;
  Script* script_;
};
