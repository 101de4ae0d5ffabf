#include "ui/picture.h"

#include <map>
#include <stdexcept>

namespace ui {

Picture Picture::FromText(const std::vector<std::string>& rows, const std::vector<std::string>& palette) {
  std::map<char, COLORREF> colours;
  for (const auto& entry : palette) {
    const unsigned long rgb = std::stoul(entry.substr(2), nullptr, 16);
    colours[entry[0]] = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  }
  Picture picture;
  picture.height_ = static_cast<int>(rows.size());
  picture.width_ = rows.empty() ? 0 : static_cast<int>(rows[0].size());
  for (const auto& row : rows) {
    if (static_cast<int>(row.size()) != picture.width_) throw std::logic_error("ragged picture");
    for (char c : row) picture.pixels_.push_back(colours.at(c));
  }
  return picture;
}

Picture Picture::Frame(int index, int frames) const {
  Picture frame;
  frame.width_ = width_ / frames;
  frame.height_ = height_;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < frame.width_; ++x) frame.pixels_.push_back(Pixel(index * frame.width_ + x, y));
  }
  return frame;
}

Picture Picture::Greyed() const {
  Picture grey = *this;
  const COLORREF transparent = TransparentColor();
  for (auto& p : grey.pixels_) {
    if (p == transparent) continue;
    const int light = (GetRValue(p) * 30 + GetGValue(p) * 59 + GetBValue(p) * 11) / 100;
    const int level = 128 + light / 2;  // lighter, as a disabled picture looks
    p = RGB(level, level, level);
  }
  return grey;
}

void Picture::Draw(HDC dc, int x, int y) const {
  if (Empty()) return;
  const COLORREF transparent = TransparentColor();
  for (int row = 0; row < height_; ++row) {
    for (int col = 0; col < width_; ++col) {
      const COLORREF p = Pixel(col, row);
      if (p != transparent) SetPixelV(dc, x + col, y + row, p);
    }
  }
}

}  // namespace ui
