#pragma once
#include <windows.h>

#include <string>

// Saves what a window shows, frame included, as a 24-bit BMP file.
bool SaveWindowBitmap(HWND hwnd, const std::wstring& path);
