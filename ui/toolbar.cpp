#include "ui/toolbar.h"

namespace ui {

ToolBar::ToolBar(Control* parent) : Control(parent) { SetParentColor(true); }

void ToolBar::Create() { CreateOwnWindow(L"VeldoToolBar", WS_CLIPCHILDREN, 0); }

void ToolBar::AddButton(FlatButton* button, int width) {
  slots_.push_back({button, width});
  ArrangeButtons();
}

void ToolBar::SetButtonVisible(FlatButton* button, bool visible) {
  button->SetVisible(visible);
  ArrangeButtons();
}

void ToolBar::ArrangeButtons() {
  int left = 0;
  for (const Slot& slot : slots_) {
    if (!slot.button->Visible()) continue;
    slot.button->SetBounds(left, kButtonTop, slot.width, button_height_);
    left += slot.width;
  }
}

}  // namespace ui
