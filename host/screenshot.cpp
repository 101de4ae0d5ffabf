#include "host/screenshot.h"

#include <cstdio>
#include <vector>

bool SaveWindowBitmap(HWND hwnd, const std::wstring& path) {
  RECT rc;
  if (!GetWindowRect(hwnd, &rc)) return false;
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  HDC window_dc = GetWindowDC(hwnd);
  HDC memory_dc = CreateCompatibleDC(window_dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory_dc, bitmap);
    BitBlt(memory_dc, 0, 0, width, height, window_dc, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    const DWORD image_size = stride * height;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + image_size;
    info.bmiHeader.biSizeImage = image_size;
    if (FILE* out = _wfopen(path.c_str(), L"wb")) {
      ok = fwrite(&file, sizeof(file), 1, out) == 1 && fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
           fwrite(bits, image_size, 1, out) == 1;
      ok = fclose(out) == 0 && ok;
    }
    SelectObject(memory_dc, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory_dc);
  ReleaseDC(hwnd, window_dc);
  return ok;
}
