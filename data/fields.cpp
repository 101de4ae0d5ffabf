#include "data/fields.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "data/bytes.h"
#include "data/client_data_set.h"

namespace data {

std::string FormatFloatGeneral(double value, int precision, char decimal_separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // The decimal digits, rounded to `precision` significant digits: d.ddd...e±x.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, std::fabs(value));
  std::string digits;
  const char* p = buffer;
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') digits += *p;
  }
  const int exponent = (*p == 'e') ? std::atoi(p + 1) + 1 : 1;  // value = 0.digits x 10^exponent
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text = value < 0 ? "-" : "";
  if (exponent > precision || exponent < -3) {
    text += digits[0];
    if (digits.size() > 1) {
      text += decimal_separator;
      text.append(digits, 1, std::string::npos);
    }
    text += 'E';
    text += std::to_string(exponent - 1);
    return text;
  }
  if (exponent <= 0) {
    text += '0';
    text += decimal_separator;
    text.append(static_cast<std::size_t>(-exponent), '0');
    text += digits;
    return text;
  }
  const auto whole = static_cast<std::size_t>(exponent);
  if (digits.size() <= whole) {
    text += digits;
    text.append(whole - digits.size(), '0');
  } else {
    text.append(digits, 0, whole);
    text += decimal_separator;
    text.append(digits, whole, std::string::npos);
  }
  return text;
}

Field::Field(ClientDataSet& data_set, std::string field_name, FieldType data_type, int size)
    : data_set_(data_set),
      field_name_(std::move(field_name)),
      name_(data_set.Name() + field_name_),
      data_type_(data_type),
      size_(size) {}

std::optional<std::size_t> Field::CurrentRow() const {
  if (!data_set_.Active()) throw DatabaseError(data_set_.Name() + ": Cannot perform this operation on a closed dataset");
  const std::ptrdiff_t row = data_set_.CurrentRow();
  if (row < 0) return std::nullopt;
  return static_cast<std::size_t>(row);
}

bool Field::IsNullAt(std::size_t row) const { return data_set_.packet().table.IsNull(row, slot_); }

std::string_view Field::RawAt(std::size_t row) const { return data_set_.packet().table.Raw(row, slot_); }

bool StringField::AcceptsColumn(FieldType column_type) const {
  return column_type == FieldType::kString || column_type == FieldType::kFixedChar || column_type == FieldType::kGuid;
}

bool FloatField::AcceptsColumn(FieldType column_type) const {
  return column_type == FieldType::kFloat || column_type == FieldType::kCurrency;
}

double FloatField::AsFloatAt(std::size_t row) const {
  const std::string_view raw = RawAt(row);
  if (raw.size() != 8) return 0;  // null
  const std::uint64_t bits = ReadLittleEndian(reinterpret_cast<const std::uint8_t*>(raw.data()), 8);
  double value;
  std::memcpy(&value, &bits, 8);
  return value;
}

std::string FloatField::DisplayTextAt(std::size_t row) const {
  if (IsNullAt(row)) return std::string();
  return FormatFloatGeneral(AsFloatAt(row), precision_, DataSet().DecimalSeparator());
}

}  // namespace data
