// The module's start-up and shut-down do no work of their own: everything starts inside
// showdll, and the module-global host strings are released by their destructors at unload.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" void __stdcall showdll(HWND, const char*, const char*, const char*, const char*,
                                                        const char*) noexcept {}
