#include "remote/com_error.h"

#include <gtest/gtest.h>

namespace {

TEST(TrimDescription, RemovesTrailingBlanksControlsAndPeriods) {
  struct Case {
    std::string_view in, out;
  };
  const Case cases[] = {
      {"Provider not found: x", "Provider not found: x"},
      {"Key violation.", "Key violation"},
      {"Key violation.\r\n", "Key violation"},
      {"Done. . .\t ", "Done"},
      {"  leading kept", "  leading kept"},
      {"a.b", "a.b"},
      {"Stop!", "Stop!"},
      {std::string_view("nul\0", 4), "nul"},
      {"\x01\x02 .", ""},
      {"", ""},
      {"未知的提供者。", "未知的提供者。"},  // the ideographic full stop is text, not a period
      {"单位表.", "单位表"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.out, remote::TrimDescription(c.in)) << c.in;
}

TEST(OleErrorText, EightLowerCaseHexDigits) {
  EXPECT_EQ("OLE error 80040154", remote::OleErrorText(0x80040154));
  EXPECT_EQ("OLE error 8000ffff", remote::OleErrorText(0x8000FFFF));
  EXPECT_EQ("OLE error 00000001", remote::OleErrorText(1));
}

TEST(ComErrorText, DescriptionThenSystemTextThenCode) {
  struct Case {
    std::string_view description, system_text;
    std::uint32_t code;
    std::string_view text;
  };
  const Case cases[] = {
      {"Provider not found: dsp_x.", "Unspecified error\r\n", 0x80004005, "Provider not found: dsp_x"},
      {"", "Class not registered.\r\n", 0x80040154, "Class not registered"},
      {" .\r\n", "Access denied.", 0x80070005, "Access denied"},  // a description of nothing counts as none
      {"", "", 0x80040154, "OLE error 80040154"},
      {"", "\r\n", 0x8001010a, "OLE error 8001010a"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.text, remote::ComErrorText(c.description, c.system_text, c.code)) << c.description;
}

}  // namespace
