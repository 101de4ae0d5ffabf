// veldo_server.exe: the demo application server, a COM local server for
// VeldoMISServer.CoStoreProduct.
//   veldo_server.exe /regserver [/store DIR]   register (with the store folder to serve)
//   veldo_server.exe /unregserver              remove the registration
//   veldo_server.exe [-Embedding] [/store DIR] serve (COM starts it so)
// The store folder is store\ beside the program unless /store names another.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <wrl/client.h>

#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <string>
#include <vector>

#include "remote/com_types.h"
#include "server/com_server.h"
#include "server/store.h"

namespace {

// Undoes only its own initialisation.
class ComApartment {
 public:
  ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  HRESULT result() const { return hr_; }

 private:
  HRESULT hr_;
};

std::wstring ExePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// "/regserver", "-RegServer" and "regserver" all name the option "regserver".
bool IsOption(const std::wstring& arg, const wchar_t* name) {
  std::wstring bare = arg;
  if (!bare.empty() && (bare[0] == L'/' || bare[0] == L'-')) bare.erase(0, 1);
  if (bare.size() != std::wcslen(name)) return false;
  for (std::size_t i = 0; i < bare.size(); ++i)
    if (std::towlower(bare[i]) != name[i]) return false;
  return true;
}

int Fail(const wchar_t* what, HRESULT hr) {
  std::fwprintf(stderr, L"veldo_server: %ls failed: %ls (%08lx)\n", what,
                remote::Utf8ToWide(remote::SystemErrorText(hr)).c_str(), static_cast<unsigned long>(hr));
  return 1;
}

int Main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args(argv ? argv + 1 : nullptr, argv ? argv + argc : nullptr);
  LocalFree(argv);

  bool register_server = false, unregister_server = false;
  std::filesystem::path store_folder;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (IsOption(args[i], L"regserver")) {
      register_server = true;
    } else if (IsOption(args[i], L"unregserver")) {
      unregister_server = true;
    } else if (IsOption(args[i], L"store") && i + 1 < args.size()) {
      store_folder = args[++i];
    } else if (!IsOption(args[i], L"embedding") && !IsOption(args[i], L"automation")) {
      std::fwprintf(stderr, L"veldo_server: unknown argument %ls\n", args[i].c_str());
      return 2;
    }
  }

  ComApartment com;
  if (FAILED(com.result())) return Fail(L"CoInitializeEx", com.result());
  const std::wstring exe = ExePath();
  if (unregister_server) {
    const HRESULT hr = server::UnregisterServer(exe);
    return SUCCEEDED(hr) ? 0 : Fail(L"unregistering", hr);
  }
  if (register_server) {
    const HRESULT hr = server::RegisterServer(exe, store_folder);
    return SUCCEEDED(hr) ? 0 : Fail(L"registering", hr);
  }

  if (store_folder.empty()) store_folder = std::filesystem::path(exe).parent_path() / L"store";
  Microsoft::WRL::ComPtr<ITypeLib> library;
  Microsoft::WRL::ComPtr<ITypeInfo> info;
  const HRESULT hr = server::LoadServerTypeInfo(exe, &library, &info);
  if (FAILED(hr)) return Fail(L"loading the type library", hr);
  const server::Store store(store_folder);
  return server::RunServer(store, info.Get());
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return Main();
  } catch (const std::exception& e) {
    try {
      std::fwprintf(stderr, L"veldo_server: %ls\n", remote::Utf8ToWide(e.what()).c_str());
    } catch (...) {
    }
    return 1;
  }
}
