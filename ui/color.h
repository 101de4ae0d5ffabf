#pragma once
// Colours in the system's encoding: 0x00BBGGRR for a plain colour, the top bit set plus an
// index for a colour of the Windows colour scheme.
#include <windows.h>

#include <cstdint>

namespace ui {

using TColor = std::int32_t;

constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
constexpr TColor clMenu = static_cast<TColor>(0x80000004);
constexpr TColor clWindow = static_cast<TColor>(0x80000005);
constexpr TColor clNavy = 0x00800000;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clBlack = 0x00000000;

// The RGB value to paint with; a scheme colour reads the system's current value.
inline COLORREF ColorToRgb(TColor color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

}  // namespace ui
