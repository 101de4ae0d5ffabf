#pragma once
// A form: a top-level window owned by the application's window, by default with a caption,
// a sizeable frame and no title-bar buttons, placed where designed. It shows modally the way
// the system's windows do, and runs show and close events.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

enum class CloseAction { caNone, caHide, caFree, caMinimize };
enum class WindowState { wsNormal, wsMinimized, wsMaximized };
// Where the form appears when it is shown: where designed, or centred on the screen.
enum class Position { poDesigned, poScreenCenter };
enum class BorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class FormStyle { fsNormal, fsStayOnTop };

constexpr int mrNone = 0;
constexpr int mrCancel = 2;

class Form : public Control {
 public:
  Form();
  ~Form() override;

  // The client area's size as designed; the frame makes the outer size.
  int ClientWidth() const;
  int ClientHeight() const;

  // Extra frame inside the window's border, in pixels (non-client, like the border).
  int BorderWidth() const { return border_width_; }

  // Align (inherited) only records the value on a form: a top-level form is not aligned.

  // Normal, minimised or maximised: applied at once to a visible window, otherwise when it
  // is shown. The user's or the system's changes of a visible window are followed.
  WindowState GetWindowState() const { return window_state_; }
  void SetWindowState(WindowState state);

  // Takes effect when the form is shown.
  Position GetPosition() const { return position_; }
  void SetPosition(Position position) { position_ = position; }

  // The frame: bsNone has neither caption nor frame. A change keeps the outer bounds, so the
  // client area grows or shrinks and the aligned controls follow.
  BorderStyle GetBorderStyle() const { return border_style_; }
  void SetBorderStyle(BorderStyle style);

  // fsStayOnTop keeps the window above all windows that are not topmost.
  FormStyle GetFormStyle() const { return form_style_; }
  void SetFormStyle(FormStyle style);

  // While on, the window's client area fits its controls wherever they fix it: the right
  // and bottom edges of unaligned controls, the stacked heights of top-aligned ones; any
  // other size given to the window is put right at once. Turning it off leaves the size.
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool auto_size);

  // Shows the form modally and returns the modal result when it has closed: the thread's
  // other visible, enabled top-level windows are disabled meanwhile and enabled again
  // after, and the window that was active before becomes active again.
  int ShowModal();
  // Asks the form to close: the close event decides what becomes of it.
  void Close();
  bool Showing() const { return showing_; }
  int ModalResult() const { return modal_result_; }
  // The close action of the last close; caFree asks the owner to free the form.
  CloseAction LastCloseAction() const { return last_close_action_; }
  // A quit message ended the modal loop; it was passed on to the thread's next loop.
  bool EndedByQuit() const { return ended_by_quit_; }

  // The control that takes the keyboard focus when the form is activated.
  void SetActiveControl(Control* control) { active_control_ = control; }

 protected:
  // Creates the window (hidden) with the form's current design.
  void CreateForm();
  // The show event, before the window is first drawn, and the close event.
  virtual void DoShow() {}
  virtual void DoClose(CloseAction& action) { (void)action; }

  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  void ColorChanged() override;

 private:
  void CloseModal();
  void DisableOtherWindows();
  void EnableOtherWindows();
  void ApplyFrameStyles();
  void FitToContents(int* width, int* height) const;
  void FitNow();
  void PlaceForShowing();

  int border_width_ = 1;
  WindowState window_state_ = WindowState::wsNormal;
  Position position_ = Position::poDesigned;
  BorderStyle border_style_ = BorderStyle::bsSizeable;
  FormStyle form_style_ = FormStyle::fsNormal;
  bool auto_size_ = false;
  bool showing_ = false;
  bool modal_ = false;
  int modal_result_ = mrNone;
  bool ended_by_quit_ = false;
  CloseAction last_close_action_ = CloseAction::caNone;
  Control* active_control_ = nullptr;
  std::vector<HWND> disabled_windows_;
};

}  // namespace ui
