#pragma once
// A small picture held as pixels, drawn with the colour of its bottom-left pixel
// transparent (the way the system's button glyphs are drawn).
#include <windows.h>

#include <string>
#include <vector>

namespace ui {

class Picture {
 public:
  Picture() = default;
  // From rows of characters, one per pixel, each mapped through `palette` ("c=RRGGBB").
  static Picture FromText(const std::vector<std::string>& rows, const std::vector<std::string>& palette);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return pixels_.empty(); }
  COLORREF Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
  COLORREF TransparentColor() const { return Pixel(0, height_ - 1); }

  // One frame of a strip of `frames` pictures side by side.
  Picture Frame(int index, int frames) const;
  // The picture in grey tones, for a disabled control that has no picture of its own.
  Picture Greyed() const;

  // Draws the picture with its top-left corner at (x, y); transparent pixels keep the DC's
  // background.
  void Draw(HDC dc, int x, int y) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<COLORREF> pixels_;
};

}  // namespace ui
