#include "ui/form.h"

#include <algorithm>

namespace ui {
namespace {

constexpr wchar_t kFormClass[] = L"VeldoForm";

// The window styles that make the frame; a border style sets them and leaves the others.
constexpr DWORD kFrameStyles = WS_POPUP | WS_CAPTION | WS_THICKFRAME;
constexpr DWORD kFrameExStyles = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;

DWORD FrameStyle(BorderStyle border) {
  switch (border) {
    case BorderStyle::bsNone:
      return WS_POPUP;
    case BorderStyle::bsSingle:
    case BorderStyle::bsToolWindow:
      return WS_CAPTION;
    case BorderStyle::bsDialog:
      return WS_POPUP | WS_CAPTION;
    case BorderStyle::bsSizeable:
    case BorderStyle::bsSizeToolWin:
      break;
  }
  return WS_CAPTION | WS_THICKFRAME;
}

DWORD FrameExStyle(BorderStyle border) {
  switch (border) {
    case BorderStyle::bsDialog:
      return WS_EX_DLGMODALFRAME;
    case BorderStyle::bsToolWindow:
    case BorderStyle::bsSizeToolWin:
      return WS_EX_TOOLWINDOW;
    default:
      return 0;
  }
}

int ShowCommand(WindowState state) {
  switch (state) {
    case WindowState::wsMinimized:
      return SW_SHOWMINIMIZED;
    case WindowState::wsMaximized:
      return SW_SHOWMAXIMIZED;
    case WindowState::wsNormal:
      break;
  }
  return SW_SHOWNORMAL;
}

WindowState StateOf(HWND hwnd) {
  if (IsIconic(hwnd)) return WindowState::wsMinimized;
  if (IsZoomed(hwnd)) return WindowState::wsMaximized;
  return WindowState::wsNormal;
}

// Top-level windows of the thread that a modal form takes the input from.
struct DisableContext {
  HWND form;
  std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableOne(HWND hwnd, LPARAM lparam) {
  auto* context = reinterpret_cast<DisableContext*>(lparam);
  if (hwnd != context->form && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
    context->disabled->push_back(hwnd);
    EnableWindow(hwnd, FALSE);
  }
  return TRUE;
}

}  // namespace

Form::Form() : Control(nullptr) {
  SetColor(clBtnFace);
  SetFont(Font{});
  SetVisible(false);
}

Form::~Form() { DestroyHandle(); }

void Form::CreateForm() {
  // No system menu: no close box, no minimise, maximise or help button.
  const DWORD style = FrameStyle(border_style_) | WS_CLIPCHILDREN;
  DWORD ex_style = FrameExStyle(border_style_);
  if (form_style_ == FormStyle::fsStayOnTop) ex_style |= WS_EX_TOPMOST;
  HWND owner = TheApplication().Handle();
  if (owner && !IsWindow(owner)) owner = nullptr;  // a stale host handle owns nothing
  CreateOwnWindow(kFormClass, style, ex_style, owner);
  SetWindowTextW(Handle(), Caption().c_str());
  if (auto_size_) FitNow();
}

void Form::SetWindowState(WindowState state) {
  window_state_ = state;
  // A hidden window takes its state when it is shown.
  if (Handle() && IsWindowVisible(Handle()) && StateOf(Handle()) != state) ShowWindow(Handle(), ShowCommand(state));
}

void Form::SetBorderStyle(BorderStyle style) {
  border_style_ = style;
  ApplyFrameStyles();
}

void Form::ApplyFrameStyles() {
  if (!Handle()) return;
  const DWORD style = GetWindowLongW(Handle(), GWL_STYLE);
  const DWORD ex_style = GetWindowLongW(Handle(), GWL_EXSTYLE);
  const DWORD new_style = (style & ~kFrameStyles) | FrameStyle(border_style_);
  const DWORD new_ex_style = (ex_style & ~kFrameExStyles) | FrameExStyle(border_style_);
  if (new_style == style && new_ex_style == ex_style) return;
  if (new_style != style) SetWindowLongW(Handle(), GWL_STYLE, static_cast<LONG>(new_style));
  if (new_ex_style != ex_style) SetWindowLongW(Handle(), GWL_EXSTYLE, static_cast<LONG>(new_ex_style));
  // The system keeps the old frame until told; the outer bounds stay, the client area changes.
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  AlignChildren();
  if (auto_size_) FitNow();  // the same contents need another outer size now
}

void Form::SetFormStyle(FormStyle style) {
  form_style_ = style;
  if (!Handle()) return;
  const bool topmost = (GetWindowLongW(Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  const bool stay_on_top = style == FormStyle::fsStayOnTop;
  if (topmost == stay_on_top) return;
  SetWindowPos(Handle(), stay_on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form::SetAutoSize(bool auto_size) {
  auto_size_ = auto_size;
  if (auto_size_) FitNow();
}

void Form::FitNow() {
  if (!Handle()) return;
  int width = Width(), height = Height();
  FitToContents(&width, &height);
  if (width != Width() || height != Height()) SetBounds(Left(), Top(), width, height);
}

void Form::FitToContents(int* width, int* height) const {
  int right = -1, bottom = -1;
  for (const Control* child : Children()) {
    if (!child->Visible()) continue;
    switch (child->GetAlign()) {
      case Align::kNone:
        right = std::max(right, child->Left() + child->Width());
        bottom = std::max(bottom, child->Top() + child->Height());
        break;
      case Align::kTop:
        bottom = std::max(bottom, 0) + child->Height();
        break;
      case Align::kClient:  // it fills whatever room there is
        break;
    }
  }
  RECT window, client;
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &client);
  if (right >= 0) *width = right + (window.right - window.left) - client.right;
  if (bottom >= 0) *height = bottom + (window.bottom - window.top) - client.bottom;
}

void Form::PlaceForShowing() {
  if (position_ == Position::poScreenCenter) {
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2, (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2, Width(),
              Height());
  }
}

int Form::ClientWidth() const {
  RECT rc{};
  if (Handle()) GetClientRect(Handle(), &rc);
  return rc.right - rc.left;
}

int Form::ClientHeight() const {
  RECT rc{};
  if (Handle()) GetClientRect(Handle(), &rc);
  return rc.bottom - rc.top;
}

bool Form::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_NCCALCSIZE: {
      // The border width lies inside the frame, outside the client area.
      *result = DefaultHandling(message, wparam, lparam);
      auto* rect = wparam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam)->rgrc[0] : reinterpret_cast<RECT*>(lparam);
      InflateRect(rect, -border_width_, -border_width_);
      return true;
    }
    case WM_NCPAINT: {
      *result = DefaultHandling(message, wparam, lparam);
      if (border_width_ > 0) {
        HDC dc = GetWindowDC(Handle());
        RECT window, client;
        GetWindowRect(Handle(), &window);
        GetClientRect(Handle(), &client);
        MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        OffsetRect(&client, -window.left, -window.top);
        RECT strip = client;
        InflateRect(&strip, border_width_, border_width_);
        UniqueBrush brush(CreateSolidBrush(ColorToRgb(Color())));
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        FillRect(dc, &strip, brush.get());
        ReleaseDC(Handle(), dc);
      }
      return true;
    }
    case WM_WINDOWPOSCHANGED: {
      const bool handled = Control::OnMessage(message, wparam, lparam, result);
      // A size that does not fit the contents is put right at once. (Fitting the size on
      // its way in, in WM_WINDOWPOSCHANGING, would leave the asked-for size on record when
      // the fit equals the old size: the system then reports no change.)
      if (auto_size_) FitNow();
      return handled;
    }
    case WM_SIZE:
      // Follow what the user or the system made of a visible window.
      if (IsWindowVisible(Handle())) {
        if (wparam == SIZE_MAXIMIZED) window_state_ = WindowState::wsMaximized;
        if (wparam == SIZE_MINIMIZED) window_state_ = WindowState::wsMinimized;
        if (wparam == SIZE_RESTORED) window_state_ = WindowState::wsNormal;
      }
      return Control::OnMessage(message, wparam, lparam, result);
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && active_control_ && active_control_->Handle()) {
        SetFocus(active_control_->Handle());
        *result = 0;
        return true;
      }
      return false;
    case WM_CLOSE:
      Close();
      return true;
    default:
      return Control::OnMessage(message, wparam, lparam, result);
  }
}

void Form::ColorChanged() {
  Control::ColorChanged();
  if (Handle()) SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Form::DisableOtherWindows() {
  DisableContext context{Handle(), &disabled_windows_};
  EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&context));
}

void Form::EnableOtherWindows() {
  for (HWND hwnd : disabled_windows_) {
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  }
  disabled_windows_.clear();
}

int Form::ShowModal() {
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HWND active_before = GetActiveWindow();
  modal_ = true;
  modal_result_ = mrNone;
  ended_by_quit_ = false;
  DisableOtherWindows();

  // The show event runs before the window is first drawn. An error box it raises closes
  // with its owner enabled again: take the input back from the other windows after it.
  RunHandler([&] { DoShow(); });
  for (HWND hwnd : disabled_windows_) {
    if (IsWindow(hwnd)) EnableWindow(hwnd, FALSE);
  }
  PlaceForShowing();
  SetVisible(true);
  showing_ = true;
  ShowWindow(Handle(), ShowCommand(window_state_));
  SetActiveWindow(Handle());
  if (active_control_ && active_control_->Handle()) SetFocus(active_control_->Handle());

  MSG msg;
  while (modal_result_ == mrNone) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // A quit message ends the call without the close event, and goes on to the host.
      ended_by_quit_ = true;
      modal_result_ = mrCancel;
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) {
      modal_result_ = mrCancel;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (modal_result_ != mrNone) CloseModal();
  }

  const bool was_active = GetActiveWindow() == Handle();
  EnableOtherWindows();
  ShowWindow(Handle(), SW_HIDE);
  SetVisible(false);
  showing_ = false;
  modal_ = false;
  if (was_active && active_before && IsWindow(active_before)) SetActiveWindow(active_before);
  return modal_result_;
}

void Form::Close() {
  if (modal_) {
    modal_result_ = mrCancel;  // the modal loop runs the close event
    return;
  }
  CloseAction action = CloseAction::caHide;
  DoClose(action);
  last_close_action_ = action;
  if (action == CloseAction::caHide || action == CloseAction::caFree) {
    ShowWindow(Handle(), SW_HIDE);
    SetVisible(false);
  }
}

void Form::CloseModal() {
  CloseAction action = CloseAction::caHide;
  RunHandler([&] { DoClose(action); });
  last_close_action_ = action;
  if (action == CloseAction::caNone) modal_result_ = mrNone;
}

}  // namespace ui
