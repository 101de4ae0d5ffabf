#include "forms/money_caps.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <string>

namespace {

// Text conversion through the C library, so that the expected texts stay readable and the
// module's hard-coded byte pairs are checked against an independent table.
std::string Convert(const char* to, const char* from, const std::string& text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    ADD_FAILURE() << "iconv cannot convert from " << from << " to " << to;
    return {};
  }
  std::string in = text;
  std::string out(in.size() * 2 + 4, '\0');
  char* in_ptr = in.data();
  char* out_ptr = out.data();
  std::size_t in_left = in.size();
  std::size_t out_left = out.size();
  const std::size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(cd);
  EXPECT_NE(static_cast<std::size_t>(-1), rc) << "not " << from << " text";
  out.resize(out.size() - out_left);
  return out;
}

std::string GbkToUtf8(const std::string& gbk) { return Convert("UTF-8", "GBK", gbk); }
std::string Utf8ToGbk(const std::string& utf8) { return Convert("GBK", "UTF-8", utf8); }

std::string Caps(double amount) { return GbkToUtf8(forms::ConversionMoneyCap(amount)); }

struct Case {
  double amount;
  const char* text;
};

TEST(ConversionMoneyCap, WorkedExamples) {
  const Case cases[] = {
      {123.45, "壹佰贰拾叁圆肆角伍分整"},
      {100, "壹佰零拾零圆零角零分整"},
      {10, "壹拾零圆零角零分整"},
      {10000, "壹万零仟零佰零拾零圆零角零分整"},
      {12345678.9, "壹仟贰佰叁拾肆万伍仟陆佰柒拾捌圆玖角零分整"},
      {0.5, "伍角零分整"},
      {0.05, "伍分整"},
      {0, "零分整"},
      {-1.5, "负壹圆伍角零分整"},
      {-0.001, "负零分整"},
      {0.125, "壹角叁分整"},
      {1.005, "壹圆零角零分整"},
      {99999999.99, "玖仟玖佰玖拾玖万玖仟玖佰玖拾玖圆玖角玖分整"},
      {99999999.995, ""},
      {100000000, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, Caps(c.amount)) << c.amount;
}

TEST(ConversionMoneyCap, SignZeroAndLimits) {
  const Case cases[] = {
      {-0.0, "零分整"},
      {-0.004, "负零分整"},
      {-1e-300, "负零分整"},
      {std::numeric_limits<double>::denorm_min(), "零分整"},
      {-std::numeric_limits<double>::denorm_min(), "负零分整"},
      {-0.005, "负壹分整"},  // the double lies a little above 0.005
      {-0.125, "负壹角叁分整"},
      {0.01, "壹分整"},
      {1, "壹圆零角零分整"},
      {-99999999.99, "负玖仟玖佰玖拾玖万玖仟玖佰玖拾玖圆玖角玖分整"},
      {99999999.994, "玖仟玖佰玖拾玖万玖仟玖佰玖拾玖圆玖角玖分整"},
      {std::nextafter(100000000.0, 0.0), ""},  // 99999999.999999985 rounds up past the places
      {-99999999.995, ""},                     // no sign word on the empty text
      {-100000000, ""},
      {1e15, ""},
      {DBL_MAX, ""},
      {-DBL_MAX, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, Caps(c.amount)) << c.amount;
}

// The magnitude's exact value decides, first rounded to 18 significant digits: a double
// just below a half cent goes down, unless it lies within the 18th digit of it.
TEST(ConversionMoneyCap, HalfCents) {
  const Case cases[] = {
      {2.675, "贰圆陆角柒分整"},                          // 2.67499999999999982236...
      {1.015, "壹圆零角壹分整"},                          // 1.01499999999999990230...
      {0.375, "叁角捌分整"},                              // exact half
      {-2.5, "负贰圆伍角零分整"},
      {1000.005, "壹仟零佰零拾零圆零角壹分整"},           // 1000.00499999999999|545...
      {1000000.245, "壹佰零拾零万零仟零佰零拾零圆贰角伍分整"},  // 1000000.24499999999|5343...
      {12345678.045, "壹仟贰佰叁拾肆万伍仟陆佰柒拾捌圆零角肆分整"},  // ...04499999992549...
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, Caps(c.amount)) << c.amount;
}

TEST(ConversionMoneyCap, NotANumberOrInfinityIsAConversionError) {
  struct ErrorCase {
    double amount;
    const char* message;
  };
  const ErrorCase cases[] = {
      {std::numeric_limits<double>::quiet_NaN(), "'NAN' is not a valid floating point value"},
      {-std::numeric_limits<double>::quiet_NaN(), "'NAN' is not a valid floating point value"},
      {std::numeric_limits<double>::infinity(), "'INF' is not a valid floating point value"},
      {-std::numeric_limits<double>::infinity(), "'-INF' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    try {
      forms::ConversionMoneyCap(c.amount);
      ADD_FAILURE() << "no error for " << c.amount;
    } catch (const forms::ConvertError& e) {
      EXPECT_STREQ(c.message, e.what());
    }
  }
}

// --- Against an independent reference over many amounts ---

using U128 = unsigned __int128;

// Whole cents of a magnitude in [1e-4, 1e8) by exact rational arithmetic on its bits:
// x = m / 2^j, scaled by 10^q in 128-bit integers until 18 digits stand before the point.
std::uint64_t ReferenceCents(double magnitude) {
  int exponent = 0;
  const double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
  const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const int j = 53 - exponent;  // 26 < j < 67 in this range
  auto scaled = [&](int q) {    // floor(x * 10^q)
    U128 n = m;
    for (int i = 0; i < q; ++i) n *= 10;
    return n >> j;
  };
  constexpr U128 kLow = 100'000'000'000'000'000ULL;  // 10^17
  int q = 0;
  while (scaled(q) < kLow) ++q;
  U128 d = scaled(q);                          // 18 significant digits, q of them decimals
  if (scaled(q + 1) % 10 >= 5) d += 1;         // the 19th digit rounds half up
  U128 pow = 1;
  for (int i = 0; i < q - 3; ++i) pow *= 10;  // q >= 10 here
  const U128 thousandths = d / pow;
  return static_cast<std::uint64_t>(thousandths / 10 + (thousandths % 10 >= 5 ? 1 : 0));
}

struct Reading {
  bool negative = false;
  std::optional<std::uint64_t> cents;  // empty for the empty text
};

// The words in GBK, converted once: every one is a two-byte pair.
struct Words {
  std::map<std::string, int> digits;
  std::string places[10];
  std::string negative = Utf8ToGbk("负");
  std::string closing = Utf8ToGbk("整");
  Words() {
    const char* const digit_words[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
    const char* const place_words[] = {"分", "角", "圆", "拾", "佰", "仟", "万", "拾", "佰", "仟"};
    for (int d = 0; d < 10; ++d) digits[Utf8ToGbk(digit_words[d])] = d;
    for (int v = 0; v < 10; ++v) places[v] = Utf8ToGbk(place_words[v]);
  }
};

// Reads a result back: optional 负, pairs of digit and place word with the places counting
// down to 分 and no leading zero digit (unless the amount is zero), then 整.
Reading ReadBack(const std::string& gbk) {
  static const Words kWords;
  constexpr std::size_t kChar = 2;
  Reading r;
  if (gbk.empty()) return r;
  std::string s = gbk;
  if (s.compare(0, kChar, kWords.negative) == 0) {
    r.negative = true;
    s.erase(0, kChar);
  }
  if (s.size() < kChar) {
    ADD_FAILURE() << "sign word alone";
    return r;
  }
  const std::size_t pairs = s.size() / (2 * kChar);
  EXPECT_TRUE(pairs >= 1 && pairs <= 10 && s.size() == pairs * 2 * kChar + kChar) << GbkToUtf8(gbk);
  EXPECT_EQ(kWords.closing, s.substr(s.size() - kChar)) << GbkToUtf8(gbk);
  std::uint64_t cents = 0;
  for (std::size_t i = 0; i < pairs && i < 10; ++i) {
    const auto digit = kWords.digits.find(s.substr(i * 2 * kChar, kChar));
    if (digit == kWords.digits.end()) {
      ADD_FAILURE() << "no digit word in " << GbkToUtf8(gbk);
      return r;
    }
    EXPECT_EQ(kWords.places[pairs - 1 - i], s.substr(i * 2 * kChar + kChar, kChar)) << GbkToUtf8(gbk);
    if (i == 0 && pairs > 1) {
      EXPECT_NE(0, digit->second) << GbkToUtf8(gbk);
    }
    cents = cents * 10 + static_cast<std::uint64_t>(digit->second);
  }
  r.cents = cents;
  return r;
}

void ExpectAgreesWithReference(double amount) {
  const double magnitude = std::fabs(amount);
  std::optional<std::uint64_t> expected;
  if (magnitude < 1e8) {
    const std::uint64_t cents = magnitude < 1e-4 ? 0 : ReferenceCents(magnitude);
    if (cents < 10'000'000'000ULL) expected = cents;
  }
  const Reading got = ReadBack(forms::ConversionMoneyCap(amount));
  ASSERT_EQ(expected, got.cents) << std::hexfloat << amount;
  if (expected) {
    ASSERT_EQ(amount < 0, got.negative) << std::hexfloat << amount;
  }
}

TEST(ConversionMoneyCap, AgreesWithExactReferenceOnRandomAmounts) {
  std::mt19937_64 rng(20240611);
  auto below = [&](std::uint64_t n) { return rng() % n; };
  auto signed_amount = [&](double x) { return (rng() & 1) ? -x : x; };
  for (int i = 0; i < 50000; ++i) {
    // Thousandths of every size up to just past the limit: half cents, with the doubles
    // either side of them, are where rounding goes wrong first.
    static constexpr std::uint64_t kSizes[] = {1'000,         100'000,         10'000'000,
                                               1'000'000'000, 100'000'001'000ULL};
    const double thousandths = static_cast<double>(below(kSizes[below(5)])) / 1000;
    ExpectAgreesWithReference(signed_amount(thousandths));
    ExpectAgreesWithReference(std::nextafter(thousandths, 0.0));
    ExpectAgreesWithReference(std::nextafter(thousandths, 1e9));
    // Whole cents, which must come back unchanged.
    const std::uint64_t cents = below(10'000'000'000ULL);
    const Reading r = ReadBack(forms::ConversionMoneyCap(static_cast<double>(cents) / 100));
    ASSERT_EQ(cents, r.cents);
    // Any bit pattern between 2^-14 and 2^27, a wide spread of scales.
    const double bits = std::ldexp(1.0 + std::ldexp(static_cast<double>(below(1ULL << 52)), -52),
                                   static_cast<int>(below(41)) - 14);
    ExpectAgreesWithReference(signed_amount(bits));
    // Half cents below 10,000,000 yuan, where now and then the double lies below the half
    // by less than half a unit of the 18th digit and still rounds up.
    static constexpr std::uint64_t kCentSizes[] = {1'000'000, 10'000'000, 100'000'000, 1'000'000'000};
    const double half = static_cast<double>(below(kCentSizes[below(4)])) + 0.5;
    ExpectAgreesWithReference(signed_amount(half / 100));
    // Small amounts with just a few decimal digits.
    ExpectAgreesWithReference(signed_amount(static_cast<double>(below(100'000)) / 10'000));
  }
}

}  // namespace
