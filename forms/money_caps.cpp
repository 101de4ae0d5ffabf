#include "forms/money_caps.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace forms {
namespace {

// GBK byte pairs, so that the text comes out in the system's code page 936.
constexpr const char* kDigitWords[10] = {
    "\xC1\xE3",  // 零
    "\xD2\xBC",  // 壹
    "\xB7\xA1",  // 贰
    "\xC8\xFE",  // 叁
    "\xCB\xC1",  // 肆
    "\xCE\xE9",  // 伍
    "\xC2\xBD",  // 陆
    "\xC6\xE2",  // 柒
    "\xB0\xC6",  // 捌
    "\xBE\xC1",  // 玖
};

// By the number of cent digits to the right of the digit.
constexpr const char* kPlaceWords[10] = {
    "\xB7\xD6",  // 分
    "\xBD\xC7",  // 角
    "\xD4\xB2",  // 圆
    "\xCA\xB0",  // 拾
    "\xB0\xDB",  // 佰
    "\xC7\xAA",  // 仟
    "\xCD\xF2",  // 万
    "\xCA\xB0",  // 拾
    "\xB0\xDB",  // 佰
    "\xC7\xAA",  // 仟
};

constexpr char kNegativeWord[] = "\xB8\xBA";  // 负
constexpr char kClosingWord[] = "\xD5\xFB";   // 整

constexpr int kSignificantDigits = 18;
constexpr std::uint64_t kCentLimit = 10'000'000'000;  // eleven cent digits: no place words left

// Below 2^-9 even the 18-digit rounding cannot reach half a cent.
constexpr double kNoCents = 0.001953125;

constexpr std::uint64_t kPow10[] = {
    1ULL,
    10ULL,
    100ULL,
    1'000ULL,
    10'000ULL,
    100'000ULL,
    1'000'000ULL,
    10'000'000ULL,
    100'000'000ULL,
    1'000'000'000ULL,
    10'000'000'000ULL,
    100'000'000'000ULL,
    1'000'000'000'000ULL,
    10'000'000'000'000ULL,
    100'000'000'000'000ULL,
    1'000'000'000'000'000ULL,
    10'000'000'000'000'000ULL,
    100'000'000'000'000'000ULL,
    1'000'000'000'000'000'000ULL,
};

int DigitCount(std::uint64_t n) {
  int count = 0;
  for (; n != 0; n /= 10) ++count;
  return count;
}

// Whole cents of `magnitude` (finite, 0 <= magnitude < 1e8) the way the "0.00" format
// gives them: the exact decimal value rounded half up to 18 significant digits, then cut
// after the second decimal place, one cent added when the first dropped digit is 5 or more.
std::uint64_t RoundToCents(double magnitude) {
  if (magnitude < kNoCents) return 0;

  // magnitude = mantissa / 2^shift exactly; here 26 <= shift <= 61 (normal numbers only).
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
  const std::uint64_t mantissa = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
  int shift = 1075 - static_cast<int>(bits >> 52);
  const std::uint64_t whole = mantissa >> shift;
  std::uint64_t fraction = mantissa & ((1ULL << shift) - 1);  // over 2^shift

  // Next decimal digit of the fraction: 10f / 2^s == 5f / 2^(s-1). 5f stays below 2^64
  // because f < 2^61.
  auto next_digit = [&]() -> std::uint64_t {
    if (fraction == 0) return 0;
    fraction *= 5;
    --shift;
    const std::uint64_t digit = fraction >> shift;
    fraction &= (1ULL << shift) - 1;
    return digit;
  };

  // The leading 18 significant digits as one integer with `decimals` of them after the
  // point; at most 2 zeros come before the first significant one, so decimals <= 20.
  std::uint64_t digits = whole;
  int significant = DigitCount(whole);
  int decimals = 0;
  while (significant < kSignificantDigits) {
    digits = digits * 10 + next_digit();
    ++decimals;
    if (digits != 0) ++significant;
  }
  if (next_digit() >= 5) ++digits;  // may carry up to 10^18, still well inside 64 bits

  // whole < 1e8 leaves at least ten decimals, so the third one is among the kept digits.
  const std::uint64_t cents = digits / kPow10[decimals - 2];
  const std::uint64_t dropped = digits / kPow10[decimals - 3] % 10;
  return dropped >= 5 ? cents + 1 : cents;
}

}  // namespace

std::string ConversionMoneyCap(double amount) {
  if (std::isnan(amount)) throw ConvertError("'NAN' is not a valid floating point value");
  if (std::isinf(amount)) {
    throw ConvertError(amount < 0 ? "'-INF' is not a valid floating point value"
                                  : "'INF' is not a valid floating point value");
  }

  const double magnitude = std::fabs(amount);
  if (!(magnitude < 1e8)) return {};  // rounds to 100,000,000.00 or more
  const std::uint64_t cents = RoundToCents(magnitude);
  if (cents >= kCentLimit) return {};

  std::string text;
  text.reserve(44);
  if (amount < 0) text += kNegativeWord;  // negative zero is not below zero
  const int length = cents == 0 ? 1 : DigitCount(cents);
  for (int place = length - 1; place >= 0; --place) {
    text += kDigitWords[cents / kPow10[place] % 10];
    text += kPlaceWords[place];
  }
  text += kClosingWord;
  return text;
}

}  // namespace forms
