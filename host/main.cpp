// The demo host: a main window with the command "卷烟单位查询", which loads veldounit.dll
// and calls showdll with the window and five strings, as the system's host programs do.
//   mis_host [--server NAME] [--dll PATH] [--once] [--screenshot FILE.bmp]
// --once calls showdll at start and exits when it returns; --screenshot saves the query
// window (and any error box before it) and then leaves it through "退出".
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "host/screenshot.h"

namespace {

constexpr UINT kShowQuery = WM_APP + 1;
constexpr int kQueryCommand = 100;

struct Options {
  std::wstring server;
  std::wstring dll = L"veldounit.dll";
  std::wstring screenshot;
  bool once = false;
};
Options options;
HWND main_window = nullptr;

using ShowDll = void(__stdcall*)(HWND, const char*, const char*, const char*, const char*, const char*);

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

BOOL CALLBACK FindChildByText(HWND hwnd, LPARAM lparam) {
  wchar_t text[64] = {};
  GetWindowTextW(hwnd, text, 64);
  if (std::wstring(text) == L"退出" && IsWindowVisible(hwnd)) {
    *reinterpret_cast<HWND*>(lparam) = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Looks at the windows of this thread while the query window's modal loop runs.
BOOL CALLBACK VisitThreadWindow(HWND hwnd, LPARAM lparam) {
  auto* done = reinterpret_cast<bool*>(lparam);
  if (!IsWindowVisible(hwnd)) return TRUE;
  if (ClassName(hwnd) == L"#32770") {  // an error box came first: keep it, then answer it
    std::wstring path = options.screenshot;
    path.insert(path.size() - 4, L"-error");
    SaveWindowBitmap(hwnd, path);
    PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
    return FALSE;
  }
  if (ClassName(hwnd) == L"VeldoForm") {
    SaveWindowBitmap(hwnd, options.screenshot);
    HWND exit_button = nullptr;
    EnumChildWindows(hwnd, FindChildByText, reinterpret_cast<LPARAM>(&exit_button));
    if (exit_button) {
      PostMessageW(exit_button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
      PostMessageW(exit_button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    }
    *done = true;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK TakeScreenshot(HWND, UINT, UINT_PTR id, DWORD) {
  static bool busy = false;
  if (busy) return;
  busy = true;
  bool done = false;
  EnumThreadWindows(GetCurrentThreadId(), VisitThreadWindow, reinterpret_cast<LPARAM>(&done));
  if (done) KillTimer(nullptr, id);
  busy = false;
}

void ShowQuery(HWND hwnd) {
  HMODULE dll = LoadLibraryW(options.dll.c_str());
  if (!dll) {
    MessageBoxW(hwnd, (L"Cannot load " + options.dll).c_str(), L"mis_host", MB_OK | MB_ICONERROR);
    return;
  }
  auto showdll = reinterpret_cast<ShowDll>(reinterpret_cast<void*>(GetProcAddress(dll, "showdll")));
  if (showdll) {
    if (!options.screenshot.empty()) SetTimer(nullptr, 0, 300, TakeScreenshot);
    const std::string server = ToAnsi(options.server);
    showdll(hwnd, "mis_host", "操作员", "", "", server.c_str());
  }
  FreeLibrary(dll);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      CreateWindowExW(0, L"BUTTON", L"卷烟单位查询", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 160, 32, hwnd,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kQueryCommand)), nullptr, nullptr);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kQueryCommand) ShowQuery(hwnd);
      return 0;
    case kShowQuery:
      ShowQuery(hwnd);
      if (options.once) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

void ParseCommandLine() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--once") options.once = true;
    else if (arg == L"--server" && i + 1 < argc) options.server = argv[++i];
    else if (arg == L"--dll" && i + 1 < argc) options.dll = argv[++i];
    else if (arg == L"--screenshot" && i + 1 < argc) options.screenshot = argv[++i], options.once = true;
  }
  LocalFree(argv);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  ParseCommandLine();
  // The host initialises COM on its user-interface thread; the module relies on it.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"MisHostWindow";
  RegisterClassExW(&wc);
  main_window = CreateWindowExW(0, wc.lpszClassName, L"卷烟管理信息系统", WS_OVERLAPPEDWINDOW, 40, 40, 640, 480,
                                nullptr, nullptr, instance, nullptr);
  ShowWindow(main_window, show);
  if (options.once) PostMessageW(main_window, kShowQuery, 0, 0);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}
