#pragma once
// Move-only owners of GDI objects, and a guard that restores a device context's selection.
#include <windows.h>

#include <utility>

namespace ui {

template <typename Handle>
class UniqueGdi {
 public:
  UniqueGdi() noexcept = default;
  explicit UniqueGdi(Handle h) noexcept : h_(h) {}
  ~UniqueGdi() { reset(); }
  UniqueGdi(UniqueGdi&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  UniqueGdi& operator=(UniqueGdi&& other) noexcept {
    if (this != &other) reset(std::exchange(other.h_, nullptr));
    return *this;
  }
  UniqueGdi(const UniqueGdi&) = delete;
  UniqueGdi& operator=(const UniqueGdi&) = delete;

  Handle get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != nullptr; }
  void reset(Handle h = nullptr) noexcept {
    if (h_) DeleteObject(h_);
    h_ = h;
  }

 private:
  Handle h_ = nullptr;
};

using UniqueFont = UniqueGdi<HFONT>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueBitmap = UniqueGdi<HBITMAP>;

// Selects an object into a DC for one scope; declare it after the object it selects.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectGuard() { SelectObject(dc_, old_); }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace ui
