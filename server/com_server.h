#pragma once
// The local server's process: its life as long as objects or locks exist, the class object
// of CoStoreProduct, and the registration of class, ProgID and type library.
#include <windows.h>
#include <oaidl.h>

#include <filesystem>
#include <string>

#include "server/store.h"

namespace server {

inline constexpr wchar_t kProgId[] = L"VeldoMISServer.CoStoreProduct";

// Objects and locks keep the process alive; the last one going ends the message loop of the
// thread that called RunServer.
void AddRefServerProcess();
void ReleaseServerProcess();

// Serves CoStoreProduct from `store` until the last object goes (or, when no client ever
// comes, a minute after the start). Returns the process exit code.
int RunServer(const Store& store, ITypeInfo* type_info);

// The type library embedded in this program, and the description of IAppServer in it.
HRESULT LoadServerTypeInfo(const std::wstring& exe, ITypeLib** library, ITypeInfo** info);

// Registers the class, its ProgID, its LocalServer32 command (with /store when `store` is
// given) and the type library. Idempotent. Returns the first failure.
HRESULT RegisterServer(const std::wstring& exe, const std::filesystem::path& store);
// Removes what RegisterServer wrote; what is missing already is no failure.
HRESULT UnregisterServer(const std::wstring& exe);

}  // namespace server
