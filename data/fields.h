#pragma once
// Persistent fields of a client data set: a string field and a float field, bound by name to
// a column of the data set's packet. Portable: no <windows.h>.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "data/packet.h"

namespace data {

class ClientDataSet;

// Delphi's FloatToStrF(value, ffGeneral, precision, 0): up to `precision` significant digits,
// trailing zeros removed, no thousands separators; scientific form ("1.5E20", "1E-5") when the
// decimal exponent is above `precision` or the value is below 0.0001.
// REQUIRES: 1 <= precision <= 17.
std::string FormatFloatGeneral(double value, int precision, char decimal_separator);

class Field {
 public:
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;
  virtual ~Field() = default;

  const std::string& FieldName() const { return field_name_; }
  // The component name: the data set's name followed by the field name.
  const std::string& Name() const { return name_; }
  FieldType DataType() const { return data_type_; }
  int Size() const { return size_; }
  ClientDataSet& DataSet() const { return data_set_; }
  // Whether a column of this type can be bound to the field.
  virtual bool AcceptsColumn(FieldType column_type) const = 0;
  virtual bool IsRightAligned() const { return false; }

  // The current row's value; null when the data set is empty. Throws when it is closed.
  bool IsNull() const {
    const auto row = CurrentRow();
    return !row || IsNullAt(*row);
  }
  std::string DisplayText() const {
    const auto row = CurrentRow();
    return row ? DisplayTextAt(*row) : std::string();
  }
  // Any row's value, for a list that draws rows on demand. REQUIRES: row < RecordCount().
  bool IsNullAt(std::size_t row) const;
  virtual std::string DisplayTextAt(std::size_t row) const = 0;

 protected:
  Field(ClientDataSet& data_set, std::string field_name, FieldType data_type, int size);
  std::optional<std::size_t> CurrentRow() const;  // none on an empty data set
  std::string_view RawAt(std::size_t row) const;  // empty for null

 private:
  friend class ClientDataSet;
  ClientDataSet& data_set_;
  std::string field_name_;
  std::string name_;
  FieldType data_type_;
  int size_;
  std::size_t slot_ = 0;  // the bound column, valid while the data set is open
};

// TStringField: 8-bit characters in the system's ANSI code page, kept as they came.
class StringField : public Field {
 public:
  StringField(ClientDataSet& data_set, std::string field_name, int size)
      : Field(data_set, std::move(field_name), FieldType::kString, size) {}
  bool AcceptsColumn(FieldType column_type) const override;
  // The stored bytes whole, whatever the declared size; empty for null.
  std::string AsString() const {
    const auto row = CurrentRow();
    return row ? AsStringAt(*row) : std::string();
  }
  std::string AsStringAt(std::size_t row) const { return std::string(RawAt(row)); }
  std::string DisplayTextAt(std::size_t row) const override { return AsStringAt(row); }
};

// TFloatField: an 8-byte floating-point number shown in the general format.
class FloatField : public Field {
 public:
  FloatField(ClientDataSet& data_set, std::string field_name, int precision)
      : Field(data_set, std::move(field_name), FieldType::kFloat, 0), precision_(precision) {}
  int Precision() const { return precision_; }
  bool AcceptsColumn(FieldType column_type) const override;
  bool IsRightAligned() const override { return true; }
  double AsFloat() const {
    const auto row = CurrentRow();
    return row ? AsFloatAt(*row) : 0;
  }
  double AsFloatAt(std::size_t row) const;  // 0 for null
  std::string DisplayTextAt(std::size_t row) const override;  // empty for null

 private:
  int precision_;
};

}  // namespace data
