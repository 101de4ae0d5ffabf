#pragma once
// The in-memory model of a binary data packet: column descriptions, data-set properties and
// the visible rows. Portable: no <windows.h>.
//
// A table keeps its values in the packet's own encoding (without length prefixes) in one byte
// arena, with an (offset, size) cell per row and slot, so that a million rows cost little more
// than their bytes. Values are decoded on demand.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace data {

// Type word: bits 0..5 the base type, 0x40 varying (length prefix + bytes), 0x80 array.
constexpr std::uint16_t kTypeBaseMask = 0x003F;
constexpr std::uint16_t kTypeVarying = 0x0040;
constexpr std::uint16_t kTypeArray = 0x0080;
constexpr std::uint16_t kPropertyRoundtrip = 0x8000;  // on property type words only

// Base type codes.
constexpr std::uint8_t kBaseUnknown = 0;
constexpr std::uint8_t kBaseInt = 1;
constexpr std::uint8_t kBaseUInt = 2;
constexpr std::uint8_t kBaseBool = 3;
constexpr std::uint8_t kBaseFloat = 4;
constexpr std::uint8_t kBaseBcd = 5;
constexpr std::uint8_t kBaseDate = 6;
constexpr std::uint8_t kBaseTime = 7;
constexpr std::uint8_t kBaseDateTime = 8;
constexpr std::uint8_t kBaseZString = 9;
constexpr std::uint8_t kBaseUnicode = 10;
constexpr std::uint8_t kBaseBytes = 11;
constexpr std::uint8_t kBaseAdt = 12;
constexpr std::uint8_t kBaseArray = 13;
constexpr std::uint8_t kBaseNested = 14;
constexpr std::uint8_t kBaseReference = 15;
constexpr std::uint8_t kBaseSqlTimeStamp = 17;
constexpr std::uint8_t kBaseFmtBcd = 18;

// Column attributes.
constexpr std::uint16_t kAttrHidden = 0x0001;
constexpr std::uint16_t kAttrReadOnly = 0x0002;
constexpr std::uint16_t kAttrRequired = 0x0004;
constexpr std::uint16_t kAttrLink = 0x0008;
constexpr std::uint16_t kAttrUnnamed = 0x0010;
constexpr std::uint16_t kAttrFixed = 0x0020;

// A BCD value is stored in 18 bytes whatever the descriptor's size says.
constexpr std::size_t kBcdValueSize = 18;

// Data-set property names of the provider options.
inline constexpr std::string_view kReadOnlyOption = "READONLY";
inline constexpr std::string_view kDisableEditsOption = "DISABLE_EDITS";
inline constexpr std::string_view kDisableInsertsOption = "DISABLE_INSERTS";
inline constexpr std::string_view kDisableDeletesOption = "DISABLE_DELETES";
inline constexpr std::string_view kNoResetCallOption = "NO_RESET_CALL";

// The platform's field types, in the platform's order; FieldTypeName gives its name for each.
enum class FieldType : std::uint8_t {
  kUnknown, kString, kSmallInt, kInteger, kWord, kBoolean, kFloat, kCurrency, kBcd, kDate, kTime,
  kDateTime, kBytes, kVarBytes, kAutoInc, kBlob, kMemo, kGraphic, kFmtMemo, kParadoxOle,
  kDBaseOle, kTypedBinary, kCursor, kFixedChar, kWideString, kLargeInt, kAdt, kArray, kReference,
  kDataSet, kOraBlob, kOraClob, kVariant, kInterface, kDispatch, kGuid,
  kTimeStamp, kFmtBcd,  // SQL time stamp (17) and FMTBcd (18) of later engines
};

// "String", "WideString", "Float", "BCD", ...
std::string_view FieldTypeName(FieldType type);

// The field type that a column with this type word, size and SUBTYPE stands for.
FieldType FieldTypeOf(std::uint16_t type_word, std::uint16_t size, std::string_view subtype);

// A named property of a column or of a data set.
struct Property {
  std::string name;
  std::uint16_t size = 0;       // element size, or width of the length prefix when varying
  std::uint16_t type_word = 0;  // may carry kPropertyRoundtrip
  std::uint32_t count = 1;      // number of elements when an array
  std::vector<std::uint8_t> value;  // the bytes after the length prefix or count

  std::uint8_t BaseType() const { return static_cast<std::uint8_t>(type_word & kTypeBaseMask); }
  bool IsArray() const { return (type_word & kTypeArray) != 0; }
  bool IsVarying() const { return !IsArray() && (type_word & kTypeVarying) != 0; }

  // A scalar integer or Boolean of 1, 2, 4 or 8 bytes; nullopt for anything else.
  std::optional<std::int64_t> AsInteger() const;
  // A string value without its terminating NUL.
  std::string AsString() const;
  // The elements of an integer array (unsigned when the base type is), empty otherwise.
  std::vector<std::int64_t> AsIntegers() const;

  static Property Boolean(std::string name, bool value);  // size 2, type 0x0003
  static Property UInt16(std::string name, std::uint16_t value);  // size 2, type 0x0002
  static Property Int32(std::string name, std::int32_t value);    // size 4, type 0x0001
  static Property ZString(std::string name, std::string_view value);  // varying, NUL stored
  static Property UInt32Array(std::string name, const std::vector<std::uint32_t>& values);
};

const Property* FindProperty(const std::vector<Property>& properties, std::string_view name);

// A column description. ADT, array and nested-table columns hold their children.
struct Column {
  std::string name;
  std::uint16_t size = 0;       // value size; prefix width when varying; children when composite
  std::uint16_t type_word = 0;
  std::uint16_t attributes = 0;
  std::vector<Property> properties;
  std::vector<Column> children;           // ADT, array, nested table
  std::vector<Property> table_properties; // a nested table's own data-set properties

  std::uint8_t BaseType() const { return static_cast<std::uint8_t>(type_word & kTypeBaseMask); }
  bool IsVarying() const { return (type_word & kTypeVarying) != 0; }
  bool IsComposite() const;  // ADT, array or nested table: `size` counts the children
  const Property* FindProperty(std::string_view property_name) const;
  std::string Subtype() const;               // SUBTYPE without NUL, empty when absent
  std::optional<std::int64_t> Width() const; // WIDTH
  FieldType Type() const { return FieldTypeOf(type_word, size, Subtype()); }
  std::string_view TypeName() const { return FieldTypeName(Type()); }
};

// Ready-made descriptions of the columns that our writers use.
Column StringColumn(std::string name, std::uint16_t width);       // 8-bit, WIDTH = width
Column FixedCharColumn(std::string name, std::uint16_t width);    // 8-bit, SUBTYPE FixedChar
Column WideStringColumn(std::string name, std::uint16_t chars);   // UTF-16, WIDTH = 2 x chars
Column FloatColumn(std::string name, bool money = false);         // 8-byte double
Column IntegerColumn(std::string name, std::uint16_t size = 4);   // 2, 4 or 8 bytes, signed
Column BooleanColumn(std::string name);
Column BcdColumn(std::string name, std::uint8_t precision, std::uint8_t scale);
Column DateColumn(std::string name);      // day number, 0001-01-01 = 1
Column DateTimeColumn(std::string name);  // milliseconds since 0001-01-01 minus one day
Column BlobColumn(std::string name, std::string_view subtype = "Binary");  // Text, WideText, ...

struct NotChanged {  // the bitmap's "no own value" (an ADT parent, an unassigned autoinc)
  bool operator==(const NotChanged&) const = default;
};
struct Decimal {  // a BCD value as text: "-1249.9500"
  std::string text;
  bool operator==(const Decimal&) const = default;
};
struct SqlTimeStamp {
  std::int16_t year = 0;
  std::uint16_t month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::uint32_t fraction = 0;
  bool operator==(const SqlTimeStamp&) const = default;
};
class Table;
struct TableSchema;
struct NestedRows {  // the value of a nested-table column
  const Table* table = nullptr;
  bool operator==(const NestedRows& o) const { return table == o.table; }
};

// One value. monostate is null. Integers, dates (day number) and times (milliseconds) are
// int64; floats, money and date-times (milliseconds) are double; 8-bit strings and blobs are
// their bytes; wide strings and wide memos UTF-16.
using Value = std::variant<std::monostate, NotChanged, bool, std::int64_t, double, std::string,
                           std::u16string, Decimal, SqlTimeStamp, NestedRows>;

// A slot of a record: a column of this table level, ADT children flattened in ("Name.First").
struct Slot {
  std::string name;
  std::uint16_t size = 0;
  std::uint16_t type_word = 0;
  FieldType type = FieldType::kUnknown;
  std::string subtype;
  std::int64_t width = 0;     // WIDTH, 0 when absent
  std::int64_t decimals = 0;  // DECIMALS, 0 when absent
  std::size_t column = 0;     // index of the top-level column it belongs to
  std::shared_ptr<const TableSchema> nested;  // the rows of a nested table, else null
  std::uint8_t BaseType() const { return static_cast<std::uint8_t>(type_word & kTypeBaseMask); }
};

// The columns of a table level and its slots. Shared by every nested value of one column, so
// that a nested value costs its rows, not a copy of its description.
struct TableSchema {
  std::vector<Column> columns;
  std::vector<Slot> slots;
  static std::shared_ptr<const TableSchema> Make(std::vector<Column> columns);
};

// The rows of one table level. Row order is the packet's order.
class Table {
 public:
  Table();
  explicit Table(std::vector<Column> columns) : Table(TableSchema::Make(std::move(columns))) {}
  explicit Table(std::shared_ptr<const TableSchema> schema);

  const std::vector<Column>& columns() const { return schema_->columns; }
  const std::vector<Slot>& slots() const { return schema_->slots; }
  const std::shared_ptr<const TableSchema>& schema() const { return schema_; }
  std::size_t RowCount() const { return row_count_; }
  // Index of the slot with this name, without regard to ASCII letter case; -1 when none.
  std::ptrdiff_t FindSlot(std::string_view name) const;

  // REQUIRES: row < RowCount(), slot < slots().size().
  bool IsNull(std::size_t row, std::size_t slot) const;  // null or not changed
  // The stored bytes of a value: the characters of a string, the 8 bytes of a double, ...
  std::string_view Raw(std::size_t row, std::size_t slot) const;
  Value Get(std::size_t row, std::size_t slot) const;

  // Adds a row; `values` has one entry per slot, of the slot's kind (a Decimal for BCD, a
  // NestedRows whose table has the nested column's children). Returns false and adds nothing
  // when a value does not fit its slot.
  bool AddRow(const std::vector<Value>& values);
  void RemoveRow(std::size_t row);  // REQUIRES: row < RowCount()
  void Reserve(std::size_t rows, std::size_t value_bytes);

  // For the reader: one cell per slot in slot order, then EndRow. The caller keeps the
  // total of the bytes below 4 GiB.
  void AddNullCell() { cells_.push_back({0, kNullSize}); }
  void AddNotChangedCell() { cells_.push_back({0, kNotChangedSize}); }
  void AddCell(const std::uint8_t* bytes, std::size_t n);
  void AddNestedCell(Table nested);
  void EndRow() { ++row_count_; }

  const std::vector<Table>& nested() const { return nested_; }
  // Heap bytes held for the rows (cells and values, nested tables included).
  std::size_t MemoryUsage() const;

 private:
  struct Cell {
    std::uint32_t offset;  // into data_, or into nested_ for a nested table
    std::uint32_t size;    // or one of the marks below
  };
  static constexpr std::uint32_t kNullSize = 0xFFFFFFFF;
  static constexpr std::uint32_t kNotChangedSize = 0xFFFFFFFE;

  std::shared_ptr<const TableSchema> schema_;  // never null
  std::size_t slot_count_ = 0;
  std::vector<Cell> cells_;  // RowCount() x slot_count_
  std::vector<std::uint8_t> data_;
  std::vector<Table> nested_;
  std::size_t row_count_ = 0;
};

// A whole packet.
struct Packet {
  std::uint32_t version = 1;
  Table table;
  std::vector<Property> properties;  // of the top-level data set

  const std::vector<Column>& columns() const { return table.columns(); }
  // A Boolean option: present with a non-zero integer or Boolean value.
  bool HasOption(std::string_view name) const;
};

}  // namespace data
