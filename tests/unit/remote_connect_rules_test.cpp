#include "remote/connect_rules.h"

#include <gtest/gtest.h>

#include "remote/com_error.h"

namespace {

using remote::ChooseClassIdSource;
using remote::ChooseCreation;
using remote::ClassIdSource;
using remote::ComError;

TEST(ClassIdSource, GuidWinsOverNameAndNameIsTheFallback) {
  EXPECT_EQ(ClassIdSource::kServerGuid,
            ChooseClassIdSource(false, "VeldoMISServer.CoStoreProduct", "DCOMConnection1"));
  EXPECT_EQ(ClassIdSource::kServerGuid, ChooseClassIdSource(false, "", "DCOMConnection1"));
  EXPECT_EQ(ClassIdSource::kServerName,
            ChooseClassIdSource(true, "VeldoMISServer.CoStoreProduct", "DCOMConnection1"));
}

TEST(ClassIdSource, NeitherGuidNorNameNamesTheConnection) {
  try {
    ChooseClassIdSource(true, "", "DCOMConnection1");
    FAIL() << "no error";
  } catch (const ComError& e) {
    EXPECT_STREQ("Cannot connect, DCOMConnection1 must contain a valid ServerName or ServerGUID", e.what());
    EXPECT_EQ(0u, e.code());
  }
}

TEST(Creation, EmptyComputerNameStaysOnThisComputer) {
  // Neither DCOM nor this computer's name matters without a computer name.
  for (bool dcom : {true, false}) {
    const auto c = ChooseCreation("", dcom, std::nullopt);
    EXPECT_FALSE(c.named_computer);
    EXPECT_EQ(5u, c.context);
  }
}

TEST(Creation, NamedComputerWithoutDcomFails) {
  try {
    ChooseCreation("SERVER1", false, "SERVER1");
    FAIL() << "no error";
  } catch (const ComError& e) {
    EXPECT_STREQ("DCOM not installed", e.what());
  }
}

TEST(Creation, ContextMaskByComputerName) {
  struct Case {
    const char* computer;
    std::optional<std::string_view> this_computer;
    std::uint32_t context;
  };
  const Case cases[] = {
      {"VELDO-PC", "VELDO-PC", 21},
      {"veldo-pc", "VELDO-PC", 21},   // other letter case: still this computer
      {"Veldo-Pc", "VELDO-PC", 21},
      {"SERVER1", "VELDO-PC", 16},
      {"VELDO-PC ", "VELDO-PC", 16},  // no trimming
      {"VELDO", "VELDO-PC", 16},      // no prefix match
      {"VELDO-PC", std::nullopt, 16}, // this computer's name unreadable
      {"VELDO-PC", "", 16},
      {"127.0.0.1", "VELDO-PC", 16},  // addresses are other computers too
  };
  for (const auto& c : cases) {
    const auto creation = ChooseCreation(c.computer, true, c.this_computer);
    EXPECT_TRUE(creation.named_computer) << c.computer;
    EXPECT_EQ(c.context, creation.context) << c.computer << " vs " << c.this_computer.value_or("(none)");
  }
}

TEST(SameComputerName, FoldsAsciiLettersOnly) {
  struct Case {
    std::string_view a, b;
    bool same;
  };
  const Case cases[] = {
      {"ABC-01_X", "abc-01_x", true},
      {"A", "B", false},
      {"@", "`", false},   // 0x40 and 0x60 differ by the case bit but are no letters
      {"[", "{", false},
      {"", "", true},
      {"AB", "ABC", false},
      // GBK "中" (D6 D0) against itself and against lead byte + a trail byte in letter range.
      {"\xD6\xD0PC", "\xD6\xD0pc", true},
      {"\x81\x41", "\x81\x61", false},  // two different double-byte characters, not "A"/"a"
      {"\x81\x41", "\x81\x41", true},
      {"\xE9", "\xC9", false},          // no Latin-1 folding
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.same, remote::SameComputerName(c.a, c.b)) << "'" << c.a << "' vs '" << c.b << "'";
    EXPECT_EQ(c.same, remote::SameComputerName(c.b, c.a)) << "'" << c.b << "' vs '" << c.a << "'";
  }
}

}  // namespace
