#pragma once
// Reading the integer values of the settings file. Portable: no <windows.h>.
#include <cstdint>
#include <optional>
#include <string_view>

namespace settings {

// The integer that a value's text stands for, as the settings file's integer keys are read:
// leading spaces, then an optional sign and decimal digits within the 32-bit range, or a
// hexadecimal prefix ("$", "x", "X", "0x", "0X") and hex digits of at most 32 significant
// bits, taken as a signed pattern (0x8000000F is -2147483633). Nothing may follow.
// Any other text (empty, a sign alone, a sign before a hex prefix, trailing characters,
// out of range, a colour's name) gives no value, and the key keeps its default.
std::optional<std::int32_t> ReadSettingInteger(std::string_view text);

}  // namespace settings
