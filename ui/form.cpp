#include "ui/form.h"

namespace ui {
namespace {

constexpr wchar_t kFormClass[] = L"VeldoForm";

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
  const DWORD style = WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN;
  HWND owner = TheApplication().Handle();
  if (owner && !IsWindow(owner)) owner = nullptr;  // a stale host handle owns nothing
  CreateOwnWindow(kFormClass, style, 0, owner);
  SetWindowTextW(Handle(), Caption().c_str());
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
  SetVisible(true);
  showing_ = true;
  ShowWindow(Handle(), SW_SHOW);
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
