#pragma once
// A money amount written in Chinese capital numerals, as the base record form's
// conversionmoneycap method returns it. Portable: no <windows.h>.
#include <stdexcept>
#include <string>

namespace forms {

// A number that cannot be converted to text or back (not-a-number, an infinity).
class ConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The amount in yuan, rounded to whole cents, written digit by digit from the highest
// non-zero place down to fen, each digit word followed by its place word, then "整";
// "负" comes first when the amount is below zero (also when it rounds to zero).
// Returns GBK bytes, or the empty text when the rounded amount is 100,000,000.00 or more.
// Throws ConvertError for NaN and the infinities.
std::string ConversionMoneyCap(double amount);

}  // namespace forms
