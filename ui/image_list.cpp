#include "ui/image_list.h"

#include <stdexcept>
#include <vector>

#include "ui/gdi.h"

namespace ui {

ImageList::ImageList(int width, int height) {
  list_ = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4);
  if (!list_) throw std::runtime_error("Cannot create an image list");
}

ImageList::~ImageList() {
  if (list_) ImageList_Destroy(list_);
}

void ImageList::Add(const Picture& picture) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.Width();
  info.bmiHeader.biHeight = -picture.Height();  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) throw std::runtime_error("Cannot create a bitmap");
  auto* out = static_cast<DWORD*>(bits);
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      const COLORREF p = picture.Pixel(x, y);
      out[y * picture.Width() + x] = (GetRValue(p) << 16) | (GetGValue(p) << 8) | GetBValue(p);
    }
  }
  ImageList_AddMasked(list_, bitmap.get(), picture.TransparentColor());
}

int ImageList::Count() const { return ImageList_GetImageCount(list_); }

}  // namespace ui
