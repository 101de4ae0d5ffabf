#pragma once
// The site's appearance settings for the system's windows, kept in "c:\mis_system.ini":
// each window kind has its section, and the settings of a kind are applied to a window.
#include <string>

#include "ui/form.h"

class TGETFORMSETTING {
 public:
  // Kind "A" (section "mainform") and "B" ("preform"): the style codes, place and size,
  // colour and font size; kind "C" ("THIRFORM"): colour and font size. The kind is compared
  // exactly; any other kind does nothing and leaves the file alone. An absent or unreadable
  // setting keeps the window's current value. The file is read anew at every call.
  void getformsetting(ui::Form& form, const std::string& kind);
};
