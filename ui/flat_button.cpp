#include "ui/flat_button.h"

#include <windowsx.h>

namespace ui {

FlatButton::FlatButton(Control* parent) : Control(parent) { SetParentColor(true); }

void FlatButton::Create() { CreateOwnWindow(L"VeldoFlatButton", 0, 0); }

void FlatButton::SetGlyph(const Picture& glyph, int frames) {
  glyph_ = glyph;
  frames_ = frames < 1 ? 1 : frames;
  if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

void FlatButton::Click() {
  if (Enabled() && OnClick) OnClick();
}

bool FlatButton::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        InvalidateRect(Handle(), nullptr, TRUE);
      }
      return true;
    case WM_MOUSELEAVE:
      hot_ = false;
      InvalidateRect(Handle(), nullptr, TRUE);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      SetCapture(Handle());
      InvalidateRect(Handle(), nullptr, TRUE);
      return true;
    case WM_LBUTTONUP: {
      const bool was_pressed = pressed_;
      pressed_ = false;
      if (GetCapture() == Handle()) ReleaseCapture();
      InvalidateRect(Handle(), nullptr, TRUE);
      RECT rc;
      GetClientRect(Handle(), &rc);
      const POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      if (was_pressed && PtInRect(&rc, at)) Click();
      return true;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return false;
    case WM_ENABLE:
      InvalidateRect(Handle(), nullptr, TRUE);
      return false;
    default:
      return Control::OnMessage(message, wparam, lparam, result);
  }
}

void FlatButton::Paint(HDC dc, const RECT& client) {
  const int shift = pressed_ ? 1 : 0;
  if ((hot_ || pressed_) && Enabled()) {
    UniqueBrush border(CreateSolidBrush(ColorToRgb(border_color_)));
    FrameRect(dc, &client, border.get());
  }
  SelectGuard font(dc, FontHandle());
  SetBkMode(dc, TRANSPARENT);
  SIZE text{};
  const std::wstring caption = Caption();
  if (!caption.empty()) GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);

  Picture glyph;
  if (!glyph_.Empty()) {
    glyph = glyph_.Frame(0, frames_);
    if (!Enabled()) glyph = frames_ > 1 ? glyph_.Frame(1, frames_) : glyph.Greyed();
  }
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  const int spacing = (!glyph.Empty() && !caption.empty()) ? 1 : 0;
  const int total = glyph.Height() + spacing + (caption.empty() ? 0 : text.cy);
  int y = (height - total) / 2 + shift;
  if (!glyph.Empty()) {
    glyph.Draw(dc, (width - glyph.Width()) / 2 + shift, y);
    y += glyph.Height() + spacing;
  }
  if (!caption.empty()) {
    SetTextColor(dc, Enabled() ? ColorToRgb(GetFont().color) : GetSysColor(COLOR_GRAYTEXT));
    RECT rc{client.left + shift, y, client.right + shift, y + text.cy};
    DrawTextW(dc, caption.c_str(), -1, &rc, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
}

}  // namespace ui
