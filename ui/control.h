#pragma once
// The base of every window of the form layer: a form or one of its controls. It owns its
// HWND, routes the window's messages to one virtual handler, and carries what the controls
// share: placement and alignment inside the parent, visibility, enabled state, colour and
// font, each of them either its own or taken from the parent.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/color.h"
#include "ui/font.h"
#include "ui/run_handler.h"

namespace ui {

enum class Align { kNone, kTop, kClient };

class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  HWND Handle() const { return hwnd_; }
  Control* Parent() const { return parent_; }
  // Destroys the window and its child windows. A window class calls this first in its
  // destructor, so that the messages of the destruction still find the whole object.
  void DestroyHandle();

  // Placement in the parent's client area (for a form: on the screen), outer size.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
  void SetHeight(int height) { SetBounds(left_, top_, width_, height); }

  Align GetAlign() const { return align_; }
  void SetAlign(Align align);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // The colour painted behind the control: its own, or its parent's while ParentColor holds.
  TColor Color() const;
  void SetColor(TColor color);  // also ends ParentColor
  bool ParentColor() const { return parent_color_; }
  void SetParentColor(bool parent_color);

  // The control's font: its own, or its parent's while ParentFont holds.
  const Font& GetFont() const;
  void SetFont(const Font& font);  // also ends ParentFont
  void SetFontSize(int points);
  HFONT FontHandle() const;

  std::wstring Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption);

 protected:
  explicit Control(Control* parent);

  // Creates the window of one of the layer's own classes, or of a system class (which is
  // then subclassed). A top-level control (no parent) is owned by `owner`.
  void CreateOwnWindow(const wchar_t* class_name, DWORD style, DWORD ex_style, HWND owner = nullptr);
  void CreateSystemWindow(const wchar_t* class_name, DWORD style, DWORD ex_style);

  // The control's messages; return true when handled, with the answer in *result.
  virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  LRESULT DefaultHandling(UINT message, WPARAM wparam, LPARAM lparam);
  // A notification that this control sent to its parent, handed back to it.
  virtual bool OnNotify(NMHDR* header, LRESULT* result) {
    (void)header, (void)result;
    return false;
  }

  // Painting of the layer's own classes: the background in the control's colour, then Paint.
  virtual void Paint(HDC dc, const RECT& client);

  // Lays out the aligned children inside the client area.
  void AlignChildren();
  // The colour or font that this control shows has changed: repaint it and its followers.
  virtual void ColorChanged();
  virtual void FontChanged();

  const std::vector<Control*>& Children() const { return children_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                       DWORD_PTR ref) noexcept;
  LRESULT Route(UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  void Detach() noexcept;

  Control* parent_;
  std::vector<Control*> children_;
  HWND hwnd_ = nullptr;
  bool subclassed_ = false;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  Align align_ = Align::kNone;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clBtnFace;
  bool parent_color_ = true;
  Font font_;
  bool parent_font_ = true;
  mutable UniqueFontCache font_cache_;
  std::wstring caption_;
};

// Unregisters the layer's window classes; called when no window of them is left, so that
// the module can be unloaded and loaded again at another address.
void UnregisterWindowClasses();

}  // namespace ui
