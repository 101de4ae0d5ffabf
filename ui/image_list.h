#pragma once
// An image list of masked pictures of one size.
#include <windows.h>

#include <commctrl.h>

#include "ui/picture.h"

namespace ui {

class ImageList {
 public:
  ImageList(int width, int height);
  ~ImageList();
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  // Adds a picture; its transparent colour becomes the mask.
  void Add(const Picture& picture);
  int Count() const;
  HIMAGELIST Handle() const { return list_; }

 private:
  HIMAGELIST list_ = nullptr;
};

}  // namespace ui
