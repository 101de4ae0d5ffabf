#pragma once
// A panel: a plain area without bevel that shows its caption centred in its own font.
#include "ui/control.h"

namespace ui {

class Panel : public Control {
 public:
  explicit Panel(Control* parent);
  ~Panel() override { DestroyHandle(); }
  void Create();

 protected:
  void Paint(HDC dc, const RECT& client) override;
};

}  // namespace ui
