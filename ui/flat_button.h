#pragma once
// A flat button: glyph above caption, no edge until the mouse is over it, then a border in
// its border colour. It takes no keyboard focus: the click is its only way of use.
#include <functional>

#include "ui/control.h"
#include "ui/picture.h"

namespace ui {

class FlatButton : public Control {
 public:
  explicit FlatButton(Control* parent);
  ~FlatButton() override { DestroyHandle(); }
  void Create();

  // The glyph: `frames` pictures side by side; the second, when there is one, shows the
  // disabled button.
  void SetGlyph(const Picture& glyph, int frames);
  int NumGlyphs() const { return frames_; }
  TColor ColorBorder() const { return border_color_; }
  void SetColorBorder(TColor color) { border_color_ = color; }

  std::function<void()> OnClick;
  void Click();

 protected:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  void Paint(HDC dc, const RECT& client) override;

 private:
  Picture glyph_;
  int frames_ = 1;
  TColor border_color_ = clMenu;
  bool hot_ = false;
  bool pressed_ = false;
};

}  // namespace ui
