// The site's appearance settings in "c:\mis_system.ini" (the Wine prefix's drive C), applied
// to real windows: directly through TGETFORMSETTING, and through showdll as the host calls it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "forms/Base_lin.h"
#include "forms/veldounitFm.h"
#include "settings/unit_getsetting.h"
#include "tests/win/driver.h"

namespace {

constexpr char kSettingsPath[] = "c:\\mis_system.ini";

void WriteSettings(const std::string& text) {
  HANDLE file = CreateFileA(kSettingsPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(text.size(), written);
}

void RemoveSettings() { DeleteFileA(kSettingsPath); }

std::string ReadSettingsFile() {
  std::string text;
  HANDLE file = CreateFileA(kSettingsPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  return text;
}

bool SettingsFileExists() { return GetFileAttributesA(kSettingsPath) != INVALID_FILE_ATTRIBUTES; }

// Every test starts and ends without a settings file.
class Settings : public ::testing::Test {
 protected:
  void SetUp() override { RemoveSettings(); }
  void TearDown() override { RemoveSettings(); }

  void Apply(ui::Form& form, const std::string& kind) { TGETFORMSETTING().getformsetting(form, kind); }
};

int PixelsPerInch() {
  HDC dc = GetDC(nullptr);
  const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ppi;
}

// The character height of the font a window draws its text with.
LONG FontHeightOf(HWND hwnd) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  LOGFONTW lf{};
  if (!font || !GetObjectW(font, sizeof(lf), &lf)) return 0;
  return lf.lfHeight;
}

LONG HeightOfPoints(int points) { return -MulDiv(points, PixelsPerInch(), 72); }

// What the settings may change on a window, as one value to compare.
struct Look {
  int left, top, width, height;
  ui::TColor color;
  int font_size;
  ui::BorderStyle border;
  bool operator==(const Look&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Look& l) {
  return out << "{" << l.left << "," << l.top << " " << l.width << "x" << l.height << " color 0x" << std::hex
             << static_cast<unsigned>(l.color) << std::dec << " " << l.font_size << "pt border "
             << static_cast<int>(l.border) << "}";
}

Look LookOf(const ui::Form& form) {
  return {form.Left(), form.Top(), form.Width(), form.Height(), form.Color(), form.GetFont().Size(),
          form.GetBorderStyle()};
}

// A bare form of the layer: no controls, so fitting its size to them changes nothing.
class PlainForm : public ui::Form {
 public:
  PlainForm() {
    SetBounds(100, 100, 300, 200);
    CreateForm();
  }
};

// --- Kind "C" on the query window ---------------------------------------------------------

TEST_F(Settings, KindCGivesTheQueryWindowItsColourAndTypeSize) {
  // The keys of the other kinds in this section are not read for kind "C".
  const std::string file =
      "[THIRFORM]\r\n"
      "top=10\r\nleft=20\r\nheight=400\r\nwidth=600\r\n"
      "form_align=3\r\nform_windowstate=2\r\nform_position=3\r\nform_borderstyle=1\r\n"
      "form_formstyle=2\r\nform_autosize=0\r\n"
      "color=16777215\r\n"
      "font.size=12\r\n";
  WriteSettings(file);
  Tfm_veldounit form;
  form.SetFormStyle(ui::FormStyle::fsStayOnTop);
  form.SetPosition(ui::Position::poScreenCenter);
  Look expected = LookOf(form);
  Apply(form, "C");
  expected.color = ui::clWhite;
  expected.font_size = 12;
  EXPECT_EQ(expected, LookOf(form));
  EXPECT_EQ(ui::FormStyle::fsStayOnTop, form.GetFormStyle());
  EXPECT_EQ(ui::Position::poScreenCenter, form.GetPosition());

  // The top area follows the window's colour; the grid takes the window's font.
  EXPECT_EQ(ui::clWhite, form.Panel1.Color());
  EXPECT_EQ(ui::clWhite, form.pn_gl.Color());
  EXPECT_EQ(ui::clWhite, form.tbr_base.Color());
  EXPECT_EQ(HeightOfPoints(12), FontHeightOf(form.dxDBGrid1.Handle()));
  // Controls with a font of their own keep it.
  EXPECT_EQ(-24, form.pn_gl.GetFont().height);
  EXPECT_EQ(file, ReadSettingsFile());  // read, never written
}

TEST_F(Settings, KindCFindsItsSectionAndKeysInAnyCase) {
  const ui::TColor kNotSet = -1;
  struct Case {
    const char* file;
    ui::TColor color;  // kNotSet: unchanged
    int font_size;     // 0: unchanged
  };
  const Case cases[] = {
      {"[THIRFORM]\r\ncolor=16777215\r\nfont.size=12\r\n", ui::clWhite, 12},
      {"[thirform]\r\nCOLOR=16777215\r\nFont.Size=12\r\n", ui::clWhite, 12},
      {"[ThirForm]\ncolor=16777215\n", ui::clWhite, 0},
      // Blanks around names and values, and one pair of quotes, are not part of the value.
      {"[THIRFORM]\r\n  color  =  16777215  \r\nfont.size = \"12\"\r\n", ui::clWhite, 12},
      {"[THIRFORM]\r\nfont.size='12'\r\n", kNotSet, 12},
      // Only its own section counts.
      {"[mainform]\r\ncolor=16777215\r\n[preform]\r\ncolor=16777215\r\nfont.size=12\r\n", kNotSet, 0},
      {"[THIRFORM2]\r\ncolor=16777215\r\n", kNotSet, 0},
      {"color=16777215\r\nfont.size=12\r\n", kNotSet, 0},
      {"", kNotSet, 0},
      // Not a number: the size stays.
      {"[THIRFORM]\r\nfont.size=12pt\r\n", kNotSet, 0},
      {"[THIRFORM]\r\nfont.size=\r\n", kNotSet, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    WriteSettings(c.file);
    TFm_Base form;
    form.SetColor(ui::clNavy);
    Look expected = LookOf(form);
    if (c.color != kNotSet) expected.color = c.color;
    if (c.font_size) expected.font_size = c.font_size;
    Apply(form, "C");
    EXPECT_EQ(expected, LookOf(form));
  }
}

// --- Kinds --------------------------------------------------------------------------------

TEST_F(Settings, OnlyTheExactLettersSelectASection) {
  WriteSettings(
      "[mainform]\r\ncolor=255\r\nfont.size=10\r\ntop=1\r\nleft=2\r\nheight=300\r\nwidth=400\r\n"
      "[preform]\r\ncolor=65280\r\nfont.size=14\r\ntop=3\r\nleft=4\r\nheight=301\r\nwidth=401\r\n"
      "[THIRFORM]\r\ncolor=16777215\r\nfont.size=12\r\ntop=5\r\nleft=6\r\nheight=302\r\nwidth=402\r\n"
      "[a]\r\ncolor=0\r\n[c]\r\ncolor=0\r\n[]\r\ncolor=0\r\n");
  struct Case {
    std::string kind;
    std::optional<Look> look;  // none: nothing changes
  };
  const ui::BorderStyle sizeable = ui::BorderStyle::bsSizeable;
  const Case cases[] = {
      {"A", Look{2, 1, 400, 300, 255, 10, sizeable}},
      {"B", Look{4, 3, 401, 301, 65280, 14, sizeable}},
      {"C", Look{103, 105, 697, 450, ui::clWhite, 12, sizeable}},
      {"c", std::nullopt},
      {"a", std::nullopt},
      {"b", std::nullopt},
      {"", std::nullopt},
      {"D", std::nullopt},
      {"C ", std::nullopt},
      {" C", std::nullopt},
      {"AB", std::nullopt},
      {std::string("C\0", 2), std::nullopt},
      {"THIRFORM", std::nullopt},
      {"mainform", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("kind \"" + c.kind + "\"");
    TFm_Base form;
    const Look before = LookOf(form);
    Apply(form, c.kind);
    EXPECT_EQ(c.look.value_or(before), LookOf(form));
  }
}

TEST_F(Settings, WithoutAFileNothingChangesAndNoFileIsMade) {
  for (const char* kind : {"A", "B", "C"}) {
    SCOPED_TRACE(kind);
    TFm_Base form;
    form.SetColor(ui::clNavy);
    form.SetAlign(ui::Align::kTop);
    form.SetFormStyle(ui::FormStyle::fsStayOnTop);
    form.SetAutoSize(true);
    const Look before = LookOf(form);
    Apply(form, kind);
    EXPECT_EQ(before, LookOf(form));
    EXPECT_EQ(ui::Align::kTop, form.GetAlign());
    EXPECT_EQ(ui::FormStyle::fsStayOnTop, form.GetFormStyle());
    EXPECT_TRUE(form.AutoSize());
    EXPECT_FALSE(SettingsFileExists());
  }
}

// --- Colours ------------------------------------------------------------------------------

TEST_F(Settings, ColourSpellings) {
  const ui::TColor kUnchanged = ui::clNavy;  // the window's colour before
  struct Case {
    std::string value;
    ui::TColor color;
  };
  const Case cases[] = {
      {"0x00FFFFFF", ui::clWhite},
      {"$FFFFFF", ui::clWhite},
      {"16777215", ui::clWhite},
      {"0XffFFff", ui::clWhite},
      {"\"16777215\"", ui::clWhite},
      {"'$FFFFFF'", ui::clWhite},
      {"0x8000000F", ui::clBtnFace},
      {"-2147483633", ui::clBtnFace},
      {"0", ui::clBlack},
      // 0x8000000F written in decimal is beyond the range, and names are not numbers.
      {"2147483663", kUnchanged},
      {"clWhite", kUnchanged},
      {"clBtnFace", kUnchanged},
      {"white", kUnchanged},
      {"\"16777215", kUnchanged},  // a quote without its pair stays in the value
      {"16777215 16777215", kUnchanged},
      {"", kUnchanged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("color=" + c.value);
    WriteSettings("[THIRFORM]\r\ncolor=" + c.value + "\r\n");
    TFm_Base form;
    form.SetColor(ui::clNavy);
    Apply(form, "C");
    EXPECT_EQ(c.color, form.Color());
  }
}

TEST_F(Settings, LongValuesAreReadWhole) {
  // Leading zeros make a value as long as we like; cut anywhere, it would read as another
  // number (or as black). Lengths around the sizes a reader's buffer is likely to have.
  std::vector<size_t> lengths{5000};
  for (size_t size : {256, 512, 1024, 2048}) {
    for (size_t n = size - 3; n <= size + 1; ++n) lengths.push_back(n);
  }
  for (size_t length : lengths) {
    for (const char* quote : {"", "\""}) {
      for (const char* tail : {"16777215", "1x"}) {
        const std::string digits = std::string(length - std::string(tail).size(), '0') + tail;
        SCOPED_TRACE(testing::Message() << length << " characters, ending " << tail << ", quote " << quote);
        WriteSettings(std::string("[THIRFORM]\r\ncolor=") + quote + digits + quote + "\r\n");
        PlainForm form;
        form.SetColor(ui::clNavy);
        Apply(form, "C");
        EXPECT_EQ(std::string(tail) == "1x" ? ui::clNavy : ui::clWhite, form.Color());
      }
    }
  }
}

// --- Style codes --------------------------------------------------------------------------

// The six style properties and what the window shows of them.
struct Styles {
  ui::Align align;
  ui::WindowState state;
  bool zoomed;
  ui::Position position;
  ui::BorderStyle border;
  bool captioned;
  ui::FormStyle form_style;
  bool topmost;
  bool auto_size;
  bool operator==(const Styles&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Styles& s) {
  return out << "{align " << static_cast<int>(s.align) << ", state " << static_cast<int>(s.state) << ", zoomed "
             << s.zoomed << ", position " << static_cast<int>(s.position) << ", border "
             << static_cast<int>(s.border) << ", captioned " << s.captioned << ", form style "
             << static_cast<int>(s.form_style) << ", topmost " << s.topmost << ", auto size " << s.auto_size << "}";
}

Styles StylesOf(const ui::Form& form) {
  const LONG style = GetWindowLongW(form.Handle(), GWL_STYLE);
  const LONG ex_style = GetWindowLongW(form.Handle(), GWL_EXSTYLE);
  return {form.GetAlign(),
          form.GetWindowState(),
          IsZoomed(form.Handle()) != FALSE,
          form.GetPosition(),
          form.GetBorderStyle(),
          (style & WS_CAPTION) == WS_CAPTION,
          form.GetFormStyle(),
          (ex_style & WS_EX_TOPMOST) != 0,
          form.AutoSize()};
}

TEST_F(Settings, EachStyleCodeActsAtItsOneValueOnly) {
  enum Effect { kNothing, kAlignNone, kStateNormal, kPositionDesigned, kBorderNone, kStyleNormal, kAutoSizeOff };
  struct Case {
    const char* line;
    Effect effect;
  };
  const Case cases[] = {
      {"form_align=3", kAlignNone},
      {"form_align=$3", kAlignNone},
      {"form_align=0", kNothing},  // alNone's own number is not the code
      {"form_align=5", kNothing},
      {"form_align=3x", kNothing},
      {"form_windowstate=2", kStateNormal},
      {"form_windowstate=0", kNothing},
      {"form_windowstate=1", kNothing},
      {"form_position=3", kPositionDesigned},
      {"form_position=0", kNothing},
      {"form_position=4", kNothing},
      {"form_borderstyle=1", kBorderNone},
      {"form_borderstyle=0", kNothing},
      {"form_borderstyle=2", kNothing},
      {"form_formstyle=2", kStyleNormal},
      {"form_formstyle=0", kNothing},
      {"form_formstyle=3", kNothing},
      {"form_autosize=0", kAutoSizeOff},
      {"form_autosize=0x0", kAutoSizeOff},
      {"form_autosize=1", kNothing},
      {"form_autosize=-1", kNothing},
      {"form_autosize=", kNothing},
      {"form_autosize=false", kNothing},
  };
  const Styles prepared{ui::Align::kTop,        ui::WindowState::wsMaximized, true, ui::Position::poScreenCenter,
                        ui::BorderStyle::bsSizeable, true, ui::FormStyle::fsStayOnTop, true, true};
  for (const auto& [kind, section] : {std::pair{"A", "mainform"}, std::pair{"B", "preform"}}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string("kind ") + kind + ": " + c.line);
      WriteSettings(std::string("[") + section + "]\r\n" + c.line + "\r\n");
      PlainForm form;
      ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
      form.SetWindowState(ui::WindowState::wsMaximized);
      form.SetAlign(ui::Align::kTop);
      form.SetPosition(ui::Position::poScreenCenter);
      form.SetFormStyle(ui::FormStyle::fsStayOnTop);
      form.SetAutoSize(true);
      ASSERT_EQ(prepared, StylesOf(form));

      Styles expected = prepared;
      switch (c.effect) {
        case kNothing:
          break;
        case kAlignNone:
          expected.align = ui::Align::kNone;
          break;
        case kStateNormal:
          expected.state = ui::WindowState::wsNormal, expected.zoomed = false;
          break;
        case kPositionDesigned:
          expected.position = ui::Position::poDesigned;
          break;
        case kBorderNone:
          expected.border = ui::BorderStyle::bsNone, expected.captioned = false;
          break;
        case kStyleNormal:
          expected.form_style = ui::FormStyle::fsNormal, expected.topmost = false;
          break;
        case kAutoSizeOff:
          expected.auto_size = false;
          break;
      }
      Apply(form, kind);
      EXPECT_EQ(expected, StylesOf(form));
    }
  }
}

TEST_F(Settings, NoBorderLeavesTheWholeWindowToTheClientArea) {
  WriteSettings("[mainform]\r\nform_borderstyle=1\r\n");
  TFm_Base form;
  Apply(form, "A");
  RECT window, client;
  GetWindowRect(form.Handle(), &window);
  GetClientRect(form.Handle(), &client);
  // Only the form's own one-pixel border width is left around the client area.
  EXPECT_EQ(697, window.right - window.left);
  EXPECT_EQ(450, window.bottom - window.top);
  EXPECT_EQ(697 - 2, client.right);
  EXPECT_EQ(450 - 2, client.bottom);
  EXPECT_EQ(697 - 2, form.Panel1.Width());  // the top area widens with it
}

// What a modally shown form looked like, seen from inside its modal loop.
struct ShownState {
  ui::Form* form = nullptr;
  RECT rect{};
  bool zoomed = false;
};
ShownState shown;

void CALLBACK LookAndClose(HWND, UINT, UINT_PTR, DWORD) {
  if (!shown.form || !IsWindowVisible(shown.form->Handle())) return;
  GetWindowRect(shown.form->Handle(), &shown.rect);
  shown.zoomed = IsZoomed(shown.form->Handle()) != FALSE;
  shown.form->Close();
  shown.form = nullptr;
}

TEST_F(Settings, PositionAndWindowStateCountWhenTheWindowIsShown) {
  struct Case {
    const char* file;  // null: no file
    bool centred, zoomed;
  };
  const Case cases[] = {
      {nullptr, true, true},
      {"[mainform]\r\nform_position=3\r\n", false, true},
      {"[mainform]\r\nform_windowstate=2\r\n", true, false},
      {"[mainform]\r\nform_position=3\r\nform_windowstate=2\r\n", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "no file");
    if (c.file) WriteSettings(c.file);
    PlainForm form;
    form.SetPosition(ui::Position::poScreenCenter);
    form.SetWindowState(ui::WindowState::wsMaximized);
    Apply(form, "A");
    shown = {&form};
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &LookAndClose);
    form.ShowModal();
    KillTimer(nullptr, timer);
    EXPECT_EQ(c.zoomed, shown.zoomed);
    if (!c.zoomed) {
      const int centred_left = (GetSystemMetrics(SM_CXSCREEN) - 300) / 2;
      EXPECT_EQ(c.centred ? centred_left : 100, shown.rect.left);
      EXPECT_EQ(300, shown.rect.right - shown.rect.left);
    }
  }
}

// --- Place and size -----------------------------------------------------------------------

// A form that writes down every change of its place, size, frame, colour and font, in
// order. It may keep its height at half its width whenever its width changes.
class RecordingForm : public ui::Form {
 public:
  explicit RecordingForm(bool half_height_on_width_change) : half_height_(half_height_on_width_change) {
    SetBounds(100, 100, 300, 200);
    CreateForm();
    log.clear();
    last_geometry_ = Geometry();
  }
  std::vector<std::string> log;

 protected:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override {
    if (message == WM_WINDOWPOSCHANGING && half_height_) {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lparam);
      RECT rc;
      GetWindowRect(Handle(), &rc);
      if (!(pos->flags & SWP_NOSIZE) && pos->cx != rc.right - rc.left) pos->cy = pos->cx / 2;
    }
    const bool handled = ui::Form::OnMessage(message, wparam, lparam, result);
    if (message == WM_WINDOWPOSCHANGED && Geometry() != last_geometry_) {
      last_geometry_ = Geometry();
      log.push_back(last_geometry_);
    }
    if (message == WM_STYLECHANGED && wparam == static_cast<WPARAM>(GWL_STYLE)) log.push_back("frame");
    return handled;
  }
  void ColorChanged() override {
    log.push_back("color");
    ui::Form::ColorChanged();
  }
  void FontChanged() override {
    log.push_back("font");
    ui::Form::FontChanged();
  }

 private:
  std::string Geometry() const {
    RECT rc;
    GetWindowRect(Handle(), &rc);
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + " " + std::to_string(rc.right - rc.left) + "x" +
           std::to_string(rc.bottom - rc.top);
  }
  bool half_height_;
  std::string last_geometry_;
};

TEST_F(Settings, StyleThenPlaceThenSizeWithTheHeightOnBothSidesOfTheWidthThenColourAndFont) {
  struct Case {
    const char* name;
    const char* keys;  // in any order: the file's order does not matter
    bool half_height;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"all keys",
       "font.size=12\r\ncolor=255\r\nwidth=600\r\nheight=400\r\nleft=30\r\ntop=40\r\nform_borderstyle=1\r\n",
       true,
       {"frame", "100,40 300x200", "30,40 300x200", "30,40 300x400", "30,40 600x300", "30,40 600x400", "color",
        "font"}},
      {"a width change that moves the height, and no height",
       "width=600\r\n",
       true,
       {"100,100 600x300"}},
      {"height only", "height=400\r\n", true, {"100,100 300x400"}},
      {"plain form", "height=400\r\nwidth=600\r\n", false, {"100,100 300x400", "100,100 600x400"}},
      {"nothing readable", "top=x\r\nleft=\r\nheight=1.5\r\nwidth=clWidth\r\ncolor=red\r\nfont.size=big\r\n", true,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSettings(std::string("[mainform]\r\n") + c.keys);
    RecordingForm form(c.half_height);
    Apply(form, "A");
    EXPECT_EQ(c.log, form.log);
  }
}

// A form whose contents fix its size while AutoSize is on.
class FittedForm : public ui::Form {
 public:
  FittedForm() : box(this) {
    SetBounds(100, 100, 300, 200);
    CreateForm();
    box.SetBounds(0, 0, 200, 100);
    box.Create();
  }
  ui::Panel box;
};

TEST_F(Settings, AutoSizeIsTurnedOffBeforeTheSizeIsSet) {
  FittedForm form;
  form.SetAutoSize(true);
  EXPECT_EQ(200, form.ClientWidth());
  EXPECT_EQ(100, form.ClientHeight());
  const int fitted_width = form.Width(), fitted_height = form.Height();

  // Still on: the contents keep the size.
  WriteSettings("[mainform]\r\nform_autosize=1\r\nheight=400\r\nwidth=600\r\n");
  Apply(form, "A");
  EXPECT_TRUE(form.AutoSize());
  EXPECT_EQ(fitted_width, form.Width());
  EXPECT_EQ(fitted_height, form.Height());

  WriteSettings("[mainform]\r\nheight=400\r\nwidth=600\r\nform_autosize=0\r\n");
  Apply(form, "A");
  EXPECT_FALSE(form.AutoSize());
  EXPECT_EQ(600, form.Width());
  EXPECT_EQ(400, form.Height());
}

TEST_F(Settings, AnEditOfTheFileCountsAtTheNextCall) {
  TFm_Base form;
  for (const char* color : {"255", "65280", "16711680"}) {
    WriteSettings(std::string("[THIRFORM]\r\ncolor=") + color + "\r\n");
    Apply(form, "C");
    EXPECT_EQ(std::stoi(color), form.Color());
  }
  RemoveSettings();
  Apply(form, "C");
  EXPECT_EQ(16711680, form.Color());
}

// --- Through showdll ----------------------------------------------------------------------

// The colour a user sees at a point of a window's client area, read from the window that
// is on top there.
COLORREF PixelAt(HWND top, POINT point) {
  HWND target = top;
  for (;;) {
    HWND child = ChildWindowFromPointEx(target, point, CWP_SKIPINVISIBLE);
    if (!child || child == target) break;
    MapWindowPoints(target, child, &point, 1);
    target = child;
  }
  HDC dc = GetDC(target);
  const COLORREF color = GetPixel(dc, point.x, point.y);
  ReleaseDC(target, dc);
  return color;
}

// The colour of the window's own one-pixel strip around its client area.
COLORREF BorderPixel(HWND hwnd) {
  RECT window;
  GetWindowRect(hwnd, &window);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  HDC dc = GetWindowDC(hwnd);
  const COLORREF color = GetPixel(dc, origin.x - window.left - 1, origin.y - window.top + 10);
  ReleaseDC(hwnd, dc);
  return color;
}

class SettingsThroughShowdll : public Settings {
 protected:
  driver::Module module;
  driver::HostWindow host;
};

TEST_F(SettingsThroughShowdll, TheWindowItsTopAreaAndTheGridHeaderTakeTheFilesColour) {
  struct Case {
    std::optional<std::string> file;  // none: no file at all
    COLORREF seen;
    int font_size;  // 0: as designed
  };
  const COLORREF button_face = GetSysColor(COLOR_BTNFACE);
  const Case cases[] = {
      {"[THIRFORM]\r\ncolor=16777215\r\nfont.size=12\r\n", RGB(255, 255, 255), 12},
      {std::nullopt, button_face, 0},
      // Read anew at every call.
      {"[thirform]\r\ncolor=$0000FF\r\n", RGB(255, 0, 0), 0},
      {"[THIRFORM]\r\ncolor=0x8000000F\r\n", button_face, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.value_or("no file"));
    if (c.file) {
      WriteSettings(*c.file);
    } else {
      RemoveSettings();
    }
    driver::BoxAnswerer answerer;  // a failed connection's error box, if any
    driver::Session session;
    session.Run(module.showdll(), host.hwnd(), {[&] {
                  HWND query = driver::QueryWindow();
                  if (!query || driver::MessageBoxWindow()) return false;
                  RedrawWindow(query, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
                  EXPECT_EQ(c.seen, BorderPixel(query)) << "window";
                  EXPECT_EQ(c.seen, PixelAt(query, {440, 20})) << "toolbar";
                  EXPECT_EQ(c.seen, PixelAt(query, {5, 55})) << "title band";
                  EXPECT_EQ(c.seen, PixelAt(query, {5, 71})) << "top area";
                  HWND grid = driver::Grid(query);
                  HWND header = ListView_GetHeader(grid);
                  HDC dc = GetDC(header);
                  EXPECT_EQ(c.seen, GetPixel(dc, 3, 3)) << "grid header";
                  ReleaseDC(header, dc);
                  EXPECT_EQ(c.font_size ? HeightOfPoints(c.font_size) : -15, FontHeightOf(grid));
                  driver::PostExit(query);
                  return true;
                }});
    EXPECT_TRUE(session.finished_all);
  }
}

}  // namespace
