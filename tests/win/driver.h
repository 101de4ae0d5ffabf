#pragma once
// Drives the real module as a host and a user would: loads veldounit.dll, calls showdll
// from a host window on this thread, and acts inside the modal loop from a thread timer.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace driver {

using ShowDll = void(__stdcall*)(HWND, const char*, const char*, const char*, const char*, const char*);

class Module {
 public:
  Module() : dll_(LoadLibraryW(L"veldounit.dll")) {}
  ~Module() {
    if (dll_) FreeLibrary(dll_);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  ShowDll showdll() const {
    return reinterpret_cast<ShowDll>(reinterpret_cast<void*>(GetProcAddress(dll_, "showdll")));
  }
  HMODULE handle() const { return dll_; }

 private:
  HMODULE dll_;
};

// A visible top-level window in the role of the host's application window.
class HostWindow {
 public:
  HostWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TestHostWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, L"TestHostWindow", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                            nullptr, nullptr, wc.hInstance, nullptr);
    SetActiveWindow(hwnd_);
  }
  ~HostWindow() { DestroyWindow(hwnd_); }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

inline std::wstring ClassOf(HWND hwnd) {
  wchar_t name[128] = {};
  GetClassNameW(hwnd, name, 128);
  return name;
}

inline std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(wcslen(text.c_str()));
  return text;
}

inline BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lparam) {
  reinterpret_cast<std::vector<HWND>*>(lparam)->push_back(hwnd);
  return TRUE;
}

inline std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The visible top-level window of this thread with the given class, or null.
inline HWND FindVisible(const wchar_t* class_name) {
  for (HWND hwnd : ThreadWindows()) {
    if (IsWindowVisible(hwnd) && ClassOf(hwnd) == class_name) return hwnd;
  }
  return nullptr;
}

inline HWND QueryWindow() { return FindVisible(L"VeldoForm"); }
inline HWND MessageBoxWindow() { return FindVisible(L"#32770"); }

inline std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&children));
  return children;
}

inline HWND ChildWithText(HWND parent, const std::wstring& text) {
  for (HWND hwnd : Descendants(parent)) {
    if (TextOf(hwnd) == text) return hwnd;
  }
  return nullptr;
}

inline HWND ChildOfClass(HWND parent, const wchar_t* class_name) {
  for (HWND hwnd : Descendants(parent)) {
    if (ClassOf(hwnd) == class_name) return hwnd;
  }
  return nullptr;
}

inline HWND Grid(HWND query) { return ChildOfClass(query, WC_LISTVIEWW); }

// Posts a left click at a point of a window's client area, as the mouse would.
inline void PostClick(HWND hwnd, int x = 10, int y = 10) {
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Clicks "退出" of the query window.
inline void PostExit(HWND query) {
  if (HWND exit = ChildWithText(query, L"退出")) PostClick(exit);
}

// The text of a message box, as the user reads it.
inline std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  for (HWND child : Descendants(box)) {
    const std::wstring t = TextOf(child);
    if (ClassOf(child) == L"Static" && !t.empty()) text = t;
  }
  return text;
}

// Answers every message box that comes up while it lives with OK (or `button`), keeping
// what each said; for boxes that modal code of the test itself raises.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(int button = IDOK) : button_(button) {
    current() = this;
    timer_ = SetTimer(nullptr, 0, 20, &BoxAnswerer::Tick);
  }
  ~BoxAnswerer() {
    KillTimer(nullptr, timer_);
    current() = nullptr;
  }
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;
  std::vector<std::wstring> texts;

 private:
  static BoxAnswerer*& current() {
    static BoxAnswerer* answerer = nullptr;
    return answerer;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    BoxAnswerer* self = current();
    if (!self) return;
    for (HWND hwnd : ThreadWindows()) {
      if (IsWindowVisible(hwnd) && ClassOf(hwnd) == L"#32770" && !GetPropW(hwnd, L"answered")) {
        SetPropW(hwnd, L"answered", reinterpret_cast<HANDLE>(1));
        self->texts.push_back(MessageBoxText(hwnd));
        PostMessageW(hwnd, WM_COMMAND, self->button_, 0);
      }
    }
  }
  int button_;
  UINT_PTR timer_;
};

// Lets the thread handle what is pending.
inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The five host strings of a call: four the host's own, the fifth the server computer.
struct Strings {
  const char* arg1 = "arg1";
  const char* arg2 = "arg2";
  const char* arg3 = "arg3";
  const char* arg4 = "arg4";
  const char* server = "";
};

// Calls showdll; each step runs, one after another, from a thread timer inside its modal
// loop. A step returns true when it is done and the next may follow, false to be called
// again at the next tick (to wait for a window). If the window is still up long after the
// last step, the call is ended so that a failing test cannot hang.
class Session {
 public:
  using Step = std::function<bool()>;

  void Run(ShowDll showdll, HWND host, std::vector<Step> steps, Strings strings = Strings()) {
    steps_ = std::move(steps);
    next_ = 0;
    ticks_ = 0;
    current() = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &Session::Tick);
    showdll(host, strings.arg1, strings.arg2, strings.arg3, strings.arg4, strings.server);
    KillTimer(nullptr, timer);
    current() = nullptr;
    finished_all = next_ == steps_.size();
  }

  bool finished_all = false;

 private:
  static Session*& current() {
    static Session* session = nullptr;
    return session;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    static bool busy = false;  // a step that pumps messages must not re-enter itself
    Session* self = current();
    if (busy || !self) return;
    busy = true;
    if (self->next_ < self->steps_.size()) {
      if (self->steps_[self->next_]()) ++self->next_;
    }
    if (++self->ticks_ > 500) {  // ten seconds: give up and leave the window
      if (HWND box = MessageBoxWindow()) PostMessageW(box, WM_COMMAND, IDOK, 0);
      if (HWND query = QueryWindow()) PostMessageW(query, WM_CLOSE, 0, 0);
    }
    busy = false;
  }

  std::vector<Step> steps_;
  size_t next_ = 0;
  int ticks_ = 0;
};

}  // namespace driver
