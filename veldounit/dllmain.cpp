// The module's start-up and shut-down do no work of their own: everything starts inside
// showdll (forms/veldounitFm.cpp), and the module-global host strings are released by
// their destructors when the module is unloaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
