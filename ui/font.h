#pragma once
// A font as the controls describe it, and the HFONT made from it on demand.
#include <windows.h>

#include <string>

#include "ui/color.h"
#include "ui/gdi.h"

namespace ui {

struct Font {
  std::wstring face = L"宋体";
  BYTE charset = GB2312_CHARSET;
  int height = -15;  // negative: character height in pixels, without internal leading
  bool bold = false;
  TColor color = clWindowText;

  // Points at the screen's resolution, as a font size is given in the settings.
  int Size() const;
  void SetSize(int points);

  bool operator==(const Font&) const = default;
};

// Keeps the HFONT of the last font asked for.
class UniqueFontCache {
 public:
  HFONT Get(const Font& font);

 private:
  Font made_for_;
  UniqueFont handle_;
};

}  // namespace ui
