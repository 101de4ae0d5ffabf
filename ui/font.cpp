#include "ui/font.h"

namespace ui {
namespace {

int ScreenPixelsPerInch() {
  HDC dc = GetDC(nullptr);
  const int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return ppi > 0 ? ppi : 96;
}

}  // namespace

int Font::Size() const { return -MulDiv(height, 72, ScreenPixelsPerInch()); }

void Font::SetSize(int points) { height = -MulDiv(points, ScreenPixelsPerInch(), 72); }

HFONT UniqueFontCache::Get(const Font& font) {
  if (handle_ && made_for_ == font) return handle_.get();
  LOGFONTW lf{};
  lf.lfHeight = font.height;
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = font.charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  lstrcpynW(lf.lfFaceName, font.face.c_str(), LF_FACESIZE);
  handle_.reset(CreateFontIndirectW(&lf));
  made_for_ = font;
  return handle_.get();
}

}  // namespace ui
