#include "ui/control.h"

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>

namespace ui {
namespace {

// The instance that owns the layer's classes: this module, not the host program.
HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

std::set<std::wstring>& RegisteredClasses() {
  static std::set<std::wstring> classes;
  return classes;
}

void RegisterOwnClass(const wchar_t* name, WNDPROC proc) {
  if (RegisteredClasses().count(name)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw std::runtime_error("Cannot register a window class");
  }
  RegisteredClasses().insert(name);
}

constexpr UINT_PTR kSubclassId = 1;

}  // namespace

void UnregisterWindowClasses() {
  for (const auto& name : RegisteredClasses()) UnregisterClassW(name.c_str(), ThisModule());
  RegisteredClasses().clear();
}

Control::Control(Control* parent) : parent_(parent) {
  if (parent_) parent_->children_.push_back(this);
}

Control::~Control() {
  // Children are members of the form and die after it: only unlink here.
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  for (Control* child : children_) child->parent_ = nullptr;
  if (hwnd_) {
    HWND hwnd = hwnd_;
    Detach();
    DestroyWindow(hwnd);
  }
}

void Control::DestroyHandle() {
  if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY detaches this object
  if (hwnd_) Detach();
}

void Control::CreateOwnWindow(const wchar_t* class_name, DWORD style, DWORD ex_style, HWND owner) {
  RegisterOwnClass(class_name, &Control::WindowProc);
  if (parent_) style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (visible_ && parent_) style |= WS_VISIBLE;
  if (!enabled_) style |= WS_DISABLED;
  HWND parent_hwnd = parent_ ? parent_->hwnd_ : owner;
  HWND hwnd = CreateWindowExW(ex_style, class_name, caption_.c_str(), style, left_, top_, width_, height_,
                              parent_hwnd, nullptr, ThisModule(), this);
  if (!hwnd) throw std::runtime_error("Cannot create a window");
}

void Control::CreateSystemWindow(const wchar_t* class_name, DWORD style, DWORD ex_style) {
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (visible_) style |= WS_VISIBLE;
  if (!enabled_) style |= WS_DISABLED;
  HWND hwnd = CreateWindowExW(ex_style, class_name, caption_.c_str(), style, left_, top_, width_, height_,
                              parent_ ? parent_->hwnd_ : nullptr, nullptr, ThisModule(), nullptr);
  if (!hwnd) throw std::runtime_error("Cannot create a window");
  hwnd_ = hwnd;
  subclassed_ = SetWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
}

LRESULT CALLBACK Control::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  Control* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Control*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  // Messages that come before WM_NCCREATE (WM_GETMINMAXINFO) or after the object let go.
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  return self->Route(message, wparam, lparam);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                       DWORD_PTR ref) noexcept {
  auto* self = reinterpret_cast<Control*>(ref);
  if (!self || self->hwnd_ != hwnd) return DefSubclassProc(hwnd, message, wparam, lparam);
  return self->Route(message, wparam, lparam);
}

LRESULT Control::Route(UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  HWND hwnd = hwnd_;
  LRESULT result = 0;
  bool handled = false;
  RunHandler([&] { handled = OnMessage(message, wparam, lparam, &result); });
  if (!handled) result = DefaultHandling(message, wparam, lparam);
  if (message == WM_NCDESTROY && hwnd_ == hwnd) Detach();
  return result;
}

void Control::Detach() noexcept {
  if (!hwnd_) return;
  if (subclassed_) {
    RemoveWindowSubclass(hwnd_, &Control::SubclassProc, kSubclassId);
    subclassed_ = false;
  } else {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  }
  hwnd_ = nullptr;
}

LRESULT Control::DefaultHandling(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!hwnd_) return 0;
  if (subclassed_) return DefSubclassProc(hwnd_, message, wparam, lparam);
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

bool Control::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (subclassed_) return false;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd_, &rc);
      UniqueBrush brush(CreateSolidBrush(ColorToRgb(Color())));
      FillRect(reinterpret_cast<HDC>(wparam), &rc, brush.get());
      *result = 1;
      return true;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT rc;
      GetClientRect(hwnd_, &rc);
      Paint(dc, rc);
      EndPaint(hwnd_, &ps);
      return true;
    }
    case WM_SIZE:
      AlignChildren();
      return false;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      for (Control* child : children_) {
        if (child->hwnd_ && child->hwnd_ == header->hwndFrom) return child->OnNotify(header, result);
      }
      return false;
    }
    case WM_WINDOWPOSCHANGED: {
      // Keep the recorded placement in step with what the system did (the user cannot
      // move the windows, but the system may, for instance on a change of display).
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lparam);
      if (!(pos->flags & SWP_NOMOVE)) left_ = pos->x, top_ = pos->y;
      if (!(pos->flags & SWP_NOSIZE)) width_ = pos->cx, height_ = pos->cy;
      return false;
    }
    default:
      return false;
  }
}

void Control::Paint(HDC, const RECT&) {}

void Control::SetBounds(int left, int top, int width, int height) {
  left_ = left, top_ = top, width_ = width, height_ = height;
  if (hwnd_) SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (parent_ && align_ != Align::kNone) parent_->AlignChildren();
}

void Control::SetAlign(Align align) {
  align_ = align;
  if (parent_) parent_->AlignChildren();
}

void Control::AlignChildren() {
  if (!hwnd_) return;
  RECT area;
  GetClientRect(hwnd_, &area);
  // Top-aligned children stack in the order of their places, as designed.
  std::vector<Control*> tops;
  for (Control* child : children_) {
    if (child->visible_ && child->align_ == Align::kTop) tops.push_back(child);
  }
  std::stable_sort(tops.begin(), tops.end(), [](Control* a, Control* b) { return a->top_ < b->top_; });
  for (Control* child : tops) {
    child->left_ = area.left, child->top_ = area.top, child->width_ = area.right - area.left;
    if (child->hwnd_) {
      SetWindowPos(child->hwnd_, nullptr, child->left_, child->top_, child->width_, child->height_,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    area.top += child->height_;
  }
  for (Control* child : children_) {
    if (!child->visible_ || child->align_ != Align::kClient) continue;
    child->left_ = area.left, child->top_ = area.top;
    child->width_ = std::max<int>(0, area.right - area.left);
    child->height_ = std::max<int>(0, area.bottom - area.top);
    if (child->hwnd_) {
      SetWindowPos(child->hwnd_, nullptr, child->left_, child->top_, child->width_, child->height_,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (hwnd_ && parent_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
  if (parent_ && align_ != Align::kNone) parent_->AlignChildren();
}

void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (hwnd_) EnableWindow(hwnd_, enabled);
}

TColor Control::Color() const {
  if (parent_color_ && parent_) return parent_->Color();
  return color_;
}

void Control::SetColor(TColor color) {
  color_ = color;
  parent_color_ = false;
  ColorChanged();
}

void Control::SetParentColor(bool parent_color) {
  if (parent_color && parent_) color_ = parent_->Color();
  parent_color_ = parent_color;
  ColorChanged();
}

void Control::ColorChanged() {
  if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  for (Control* child : children_) {
    if (child->parent_color_) child->ColorChanged();
  }
}

const Font& Control::GetFont() const {
  if (parent_font_ && parent_) return parent_->GetFont();
  return font_;
}

void Control::SetFont(const Font& font) {
  font_ = font;
  parent_font_ = false;
  FontChanged();
}

void Control::SetFontSize(int points) {
  Font font = GetFont();
  font.SetSize(points);
  SetFont(font);
}

HFONT Control::FontHandle() const { return font_cache_.Get(GetFont()); }

void Control::FontChanged() {
  if (hwnd_) {
    if (subclassed_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  for (Control* child : children_) {
    if (child->parent_font_) child->FontChanged();
  }
}

void Control::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  if (hwnd_) {
    SetWindowTextW(hwnd_, caption.c_str());
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
}

}  // namespace ui
