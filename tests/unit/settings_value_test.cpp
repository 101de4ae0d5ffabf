#include "settings/value_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

struct Case {
  std::string text;
  std::optional<std::int32_t> value;
};

TEST(ReadSettingInteger, ReadsTheSettingsFileForms) {
  const std::optional<std::int32_t> kAbsent;
  const Case cases[] = {
      // Decimal, with the ends of the 32-bit range.
      {"0", 0},
      {"12", 12},
      {"16777215", 16777215},
      {"+7", 7},
      {"-2147483633", -2147483633},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", kAbsent},
      {"-2147483649", kAbsent},
      {"99999999999999999999", kAbsent},
      {"0000000000002147483647", 2147483647},  // leading zeros do not count against the range
      {"-0", 0},
      // Hexadecimal: every prefix, either case of digits, the pattern taken as signed.
      {"$FFFFFF", 16777215},
      {"0x00FFFFFF", 16777215},
      {"0XffFFff", 16777215},
      {"xFF", 255},
      {"XFF", 255},
      {"0x8000000F", -2147483633},
      {"$FFFFFFFF", -1},
      {"$7FFFFFFF", 2147483647},
      {"0x000000001", 1},           // nine digits, one significant bit
      {"$000000000FFFFFFFF", -1},   // 32 significant bits after many zeros
      {"0x100000000", kAbsent},     // 33 significant bits
      {"2147483663", kAbsent},      // 0x8000000F written in decimal is out of range
      {"$", kAbsent},
      {"x", kAbsent},
      {"0x", kAbsent},
      {"0X", kAbsent},
      {"$G", kAbsent},
      {"0x$1", kAbsent},
      // Leading spaces are skipped, before either form; tabs and trailing blanks are not.
      {"  42", 42},
      {" -5", -5},
      {" $10", 16},
      {" 0x10", 16},
      {"\t42", kAbsent},
      {"42 ", kAbsent},
      {"42\t", kAbsent},
      {"", kAbsent},
      {"   ", kAbsent},
      // Signs: alone, doubled, detached from the digits, before a hex prefix.
      {"+", kAbsent},
      {"-", kAbsent},
      {"--1", kAbsent},
      {"+-1", kAbsent},
      {"- 1", kAbsent},
      {"-$10", kAbsent},
      {"+0x10", kAbsent},
      {"-x10", kAbsent},
      // Anything after the digits, and names instead of numbers.
      {"12px", kAbsent},
      {"1.5", kAbsent},
      {"1e3", kAbsent},
      {"$FFG", kAbsent},
      {"00x1", kAbsent},
      {"clWhite", kAbsent},
      {"clBtnFace", kAbsent},
      {std::string("1\0", 2), kAbsent},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value, settings::ReadSettingInteger(c.text)) << '"' << c.text << '"';
}

}  // namespace
