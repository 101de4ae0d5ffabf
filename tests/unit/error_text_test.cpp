#include "ui/error_text.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace {

TEST(ErrorBoxText, AddsFullStopOnlyAfterCharactersAboveIt) {
  struct Case { std::wstring in, out; };
  const Case cases[] = {
      {L"DCOM not installed", L"DCOM not installed."},
      {L"OLE error 80040154", L"OLE error 80040154."},
      {L"未知的提供者", L"未知的提供者."},
      {L"Already ends.", L"Already ends."},
      {L"Bang!", L"Bang!"},
      {L"Blank ", L"Blank "},
      {L"Comma,", L"Comma,"},   // ',' lies below '.'
      {L"Slash/", L"Slash/."},  // '/' lies above '.'
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.out, ui::ErrorBoxText(c.in)) << std::string(c.in.begin(), c.in.end());
}

std::wstring AsciiLower(const std::wstring& s) {
  std::wstring out = s;
  for (auto& ch : out) ch = static_cast<wchar_t>(std::towlower(ch));
  return out;
}

TEST(ApplicationTitle, FileNameWithoutExtensionFirstCharacterKept) {
  EXPECT_EQ(L"MISMAIN", ui::ApplicationTitle(L"C:\\Mis\\MISMAIN", [](const std::wstring& s) { return s; }));
  EXPECT_EQ(L"Mismain", ui::ApplicationTitle(L"C:\\Program Files\\MIS\\MISMAIN.EXE", AsciiLower));
  EXPECT_EQ(L"veldo_host", ui::ApplicationTitle(L"Z:/build/win/host/veldo_Host.exe", AsciiLower));
  EXPECT_EQ(L"a", ui::ApplicationTitle(L"c:\\a.exe", AsciiLower));
  EXPECT_EQ(L"My.app", ui::ApplicationTitle(L"c:\\dir.x\\My.APP.exe", AsciiLower));
}

}  // namespace
