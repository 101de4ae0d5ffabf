#pragma once
// A toolbar: its visible buttons stand in a row in their order, each where its left
// neighbour ends; a hidden button takes no room.
#include <vector>

#include "ui/control.h"
#include "ui/flat_button.h"

namespace ui {

class ToolBar : public Control {
 public:
  explicit ToolBar(Control* parent);
  ~ToolBar() override { DestroyHandle(); }
  void Create();

  int ButtonHeight() const { return button_height_; }
  void SetButtonHeight(int height) { button_height_ = height; }

  // Adds a button at the end of the row with its designed width.
  void AddButton(FlatButton* button, int width);
  // Shows or hides a button and closes the row up.
  void SetButtonVisible(FlatButton* button, bool visible);
  void ArrangeButtons();

 private:
  struct Slot {
    FlatButton* button;
    int width;
  };
  std::vector<Slot> slots_;
  int button_height_ = 22;
  static constexpr int kButtonTop = 2;
};

}  // namespace ui
