#include "settings/unit_getsetting.h"

#include <windows.h>

#include <cstdint>
#include <optional>

#include "settings/value_reader.h"

namespace {

constexpr char kSettingsFile[] = "c:\\mis_system.ini";

// A key's value as the profile functions give it (blanks around it and one pair of
// enclosing quotes dropped), or an empty text when the file, section or key is missing.
std::string ReadValueText(const char* section, const char* key) {
  std::string buffer(256, '\0');
  for (;;) {
    const DWORD length = GetPrivateProfileStringA(section, key, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  kSettingsFile);
    // A value that fills the buffer comes back cut short, and a cut number may still read
    // as a number. Wine even drops a real character of a quoted value that is one short of
    // filling it. Only a text with two characters to spare is surely whole.
    if (length + 2 < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::int32_t> ReadInteger(const char* section, const char* key) {
  return settings::ReadSettingInteger(ReadValueText(section, key));
}

// Reads a key and, when it holds a number, hands it to the property; otherwise the
// property keeps its current value, which is the key's default.
template <typename Setter>
void Assign(const char* section, const char* key, Setter set) {
  if (const auto value = ReadInteger(section, key)) set(*value);
}

void ApplyColorAndFontSize(ui::Form& form, const char* section) {
  Assign(section, "color", [&](int value) { form.SetColor(value); });
  Assign(section, "font.size", [&](int value) { form.SetFontSize(value); });
}

void ApplyAll(ui::Form& form, const char* section) {
  // The style codes are all read first, then applied; each acts at its one value only and
  // then gives its property the first value, whatever the code's number.
  const char* const style_keys[] = {"form_align",       "form_windowstate", "form_position",
                                    "form_borderstyle", "form_formstyle",   "form_autosize"};
  std::optional<std::int32_t> codes[6];
  for (int i = 0; i < 6; ++i) codes[i] = ReadInteger(section, style_keys[i]);
  if (codes[0] == 3) form.SetAlign(ui::Align::kNone);
  if (codes[1] == 2) form.SetWindowState(ui::WindowState::wsNormal);
  if (codes[2] == 3) form.SetPosition(ui::Position::poDesigned);
  if (codes[3] == 1) form.SetBorderStyle(ui::BorderStyle::bsNone);
  if (codes[4] == 2) form.SetFormStyle(ui::FormStyle::fsNormal);
  if (codes[5] == 0) form.SetAutoSize(false);

  Assign(section, "top", [&](int value) { form.SetTop(value); });
  Assign(section, "left", [&](int value) { form.SetLeft(value); });
  // The height goes in before and after the width: a width change may move the height.
  Assign(section, "height", [&](int value) { form.SetHeight(value); });
  Assign(section, "width", [&](int value) { form.SetWidth(value); });
  Assign(section, "height", [&](int value) { form.SetHeight(value); });
  ApplyColorAndFontSize(form, section);
}

}  // namespace

void TGETFORMSETTING::getformsetting(ui::Form& form, const std::string& kind) {
  if (kind == "A") {
    ApplyAll(form, "mainform");
  } else if (kind == "B") {
    ApplyAll(form, "preform");
  } else if (kind == "C") {
    ApplyColorAndFontSize(form, "THIRFORM");
  }
}
