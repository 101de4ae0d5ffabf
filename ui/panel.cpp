#include "ui/panel.h"

namespace ui {

Panel::Panel(Control* parent) : Control(parent) {}

void Panel::Create() { CreateOwnWindow(L"VeldoPanel", WS_CLIPCHILDREN, 0); }

void Panel::Paint(HDC dc, const RECT& client) {
  if (Caption().empty()) return;
  SelectGuard font(dc, FontHandle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRgb(GetFont().color));
  RECT rc = client;
  DrawTextW(dc, Caption().c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace ui
