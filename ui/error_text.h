#pragma once
// Text rules of the default error box. Portable: no <windows.h>.
#include <string>

namespace ui {

// The message as the error box shows it: a full stop is added when the last character's
// code is above that of "." (so a message ending in a letter, digit or Chinese character
// gets one, and one ending in ".", "!" or a blank does not).
std::wstring ErrorBoxText(std::wstring message);

// The application title from the host program's path: the file name without folder and
// extension, its first character unchanged and the rest passed through `lower`.
std::wstring ApplicationTitle(const std::wstring& exe_path, std::wstring (*lower)(const std::wstring&));

}  // namespace ui
