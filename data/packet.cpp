#include "data/packet.h"

#include <array>
#include <cstring>
#include <limits>

#include "data/bytes.h"

namespace data {
namespace {

constexpr std::array<std::string_view, 38> kFieldTypeNames = {
    "Unknown",  "String",     "SmallInt",   "Integer",     "Word",     "Boolean",  "Float",
    "Currency", "BCD",        "Date",       "Time",        "DateTime", "Bytes",    "VarBytes",
    "AutoInc",  "Blob",       "Memo",       "Graphic",     "FmtMemo",  "ParadoxOle",
    "dBaseOle", "TypedBinary", "Cursor",    "FixedChar",   "WideString", "LargeInt", "ADT",
    "Array",    "Reference",  "DataSet",    "OraBlob",     "OraClob",  "Variant",  "Interface",
    "Dispatch", "Guid",       "TimeStamp",  "FMTBcd",
};

// Blob subtypes as the engine writes them.
FieldType BlobType(std::string_view subtype) {
  struct Entry { std::string_view subtype; FieldType type; };
  static constexpr Entry kEntries[] = {
      {"Binary", FieldType::kBlob},         {"Text", FieldType::kMemo},
      {"WideText", FieldType::kMemo},       {"Graphics", FieldType::kGraphic},
      {"Formatted", FieldType::kFmtMemo},   {"Ole", FieldType::kParadoxOle},
      {"dBASEOle", FieldType::kDBaseOle},   {"TypedBinary", FieldType::kTypedBinary},
      {"AccessOle", FieldType::kParadoxOle}, {"HBinary", FieldType::kBlob},
      {"HMemo", FieldType::kMemo},          {"BFile", FieldType::kBlob},
      {"OraBlob", FieldType::kOraBlob},     {"OraClob", FieldType::kOraClob},
  };
  for (const auto& e : kEntries) {
    if (EqualsIgnoreCase(e.subtype, subtype)) return e.type;
  }
  return FieldType::kUnknown;
}

// Column descriptions are built here, so their sizes are known to be small.
Column MakeColumn(std::string name, std::uint16_t size, std::uint16_t type_word) {
  Column c;
  c.name = std::move(name);
  c.size = size;
  c.type_word = type_word;
  return c;
}

void FlattenSlots(const Column& column, const std::string& prefix, std::size_t top,
                  std::vector<Slot>* slots) {
  Slot s;
  s.name = prefix + column.name;
  s.size = column.size;
  s.type_word = column.type_word;
  s.subtype = column.Subtype();
  s.type = FieldTypeOf(column.type_word, column.size, s.subtype);
  s.width = column.Width().value_or(0);
  if (const Property* p = column.FindProperty("DECIMALS")) s.decimals = p->AsInteger().value_or(0);
  s.column = top;
  const std::uint8_t base = column.BaseType();
  if (base == kBaseNested) s.nested = TableSchema::Make(column.children);
  slots->push_back(std::move(s));
  // ADT and array children are part of the same record; a nested table's are not.
  if (base == kBaseAdt || base == kBaseArray) {
    for (const Column& child : column.children) FlattenSlots(child, prefix + column.name + ".", top, slots);
  }
}

std::int64_t ReadSigned(const std::uint8_t* p, std::size_t n) {
  std::uint64_t v = ReadLittleEndian(p, n);
  if (n < 8 && (v >> (8 * n - 1)) & 1) v |= ~std::uint64_t{0} << (8 * n);
  return static_cast<std::int64_t>(v);
}

bool FitsSigned(std::int64_t v, std::size_t n) {
  if (n >= 8) return true;
  const std::int64_t limit = std::int64_t{1} << (8 * n - 1);
  return v >= -limit && v < limit;
}

bool FitsUnsigned(std::int64_t v, std::size_t n) {
  if (v < 0) return false;
  return n >= 8 || static_cast<std::uint64_t>(v) < (std::uint64_t{1} << (8 * n));
}

// The text of an 18-byte BCD value. Tolerant: this runs on values that nothing checked.
std::string BcdText(std::string_view raw) {
  if (raw.size() < 2) return "0";
  const auto* p = reinterpret_cast<const std::uint8_t*>(raw.data());
  std::size_t precision = p[0];
  const std::size_t available = (raw.size() - 2) * 2;
  if (precision > available) precision = available;
  std::size_t scale = p[1] & 0x3F;
  if (scale > precision) scale = precision;
  const bool negative = (p[1] & 0x80) != 0;
  std::string digits;
  for (std::size_t i = 0; i < precision; ++i) {
    const std::uint8_t byte = p[2 + i / 2];
    const std::uint8_t nibble = (i % 2 == 0) ? byte >> 4 : byte & 0x0F;
    digits.push_back(nibble <= 9 ? static_cast<char>('0' + nibble) : '?');
  }
  std::string whole = digits.substr(0, precision - scale);
  const std::size_t first = whole.find_first_not_of('0');
  whole = first == std::string::npos ? "0" : whole.substr(first);
  std::string text = negative ? "-" + whole : whole;
  if (scale > 0) text += "." + digits.substr(precision - scale);
  return text;
}

// Encodes decimal text into the 18-byte form with the column's precision and scale.
bool EncodeBcd(std::string_view text, std::int64_t precision, std::int64_t scale,
               std::uint8_t out[kBcdValueSize]) {
  if (precision < 1 || precision > 32 || scale < 0 || scale > precision) return false;
  std::memset(out, 0, kBcdValueSize);
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const std::size_t dot = text.find('.');
  std::string_view whole = text.substr(0, dot);
  std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  if (whole.empty() && fraction.empty()) return false;
  for (std::string_view part : {whole, fraction}) {
    for (char ch : part) {
      if (ch < '0' || ch > '9') return false;
    }
  }
  while (whole.size() > 1 && whole[0] == '0') whole.remove_prefix(1);
  if (fraction.size() > static_cast<std::size_t>(scale)) return false;  // would lose digits
  std::string digits(whole);
  digits += fraction;
  digits.append(static_cast<std::size_t>(scale) - fraction.size(), '0');
  if (digits.size() > static_cast<std::size_t>(precision)) return false;
  digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
  out[0] = static_cast<std::uint8_t>(precision);
  out[1] = static_cast<std::uint8_t>(scale | (negative ? 0x80 : 0));
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const std::uint8_t d = static_cast<std::uint8_t>(digits[i] - '0');
    out[2 + i / 2] |= (i % 2 == 0) ? static_cast<std::uint8_t>(d << 4) : d;
  }
  return true;
}

}  // namespace

std::string_view FieldTypeName(FieldType type) {
  const auto i = static_cast<std::size_t>(type);
  return i < kFieldTypeNames.size() ? kFieldTypeNames[i] : "Unknown";
}

FieldType FieldTypeOf(std::uint16_t type_word, std::uint16_t size, std::string_view subtype) {
  const bool varying = (type_word & kTypeVarying) != 0;
  switch (type_word & kTypeBaseMask) {
    case kBaseInt:
      if (size == 8) return FieldType::kLargeInt;
      if (size == 4) return EqualsIgnoreCase(subtype, "Autoinc") ? FieldType::kAutoInc : FieldType::kInteger;
      if (size == 2 || size == 1) return FieldType::kSmallInt;
      return FieldType::kUnknown;
    case kBaseUInt:
      if (size == 8) return FieldType::kLargeInt;
      if (size == 4) return FieldType::kInteger;
      if (size == 2) return FieldType::kWord;
      if (size == 1) return FieldType::kSmallInt;
      return FieldType::kUnknown;
    case kBaseBool: return FieldType::kBoolean;
    case kBaseFloat: return EqualsIgnoreCase(subtype, "Money") ? FieldType::kCurrency : FieldType::kFloat;
    case kBaseBcd: return FieldType::kBcd;
    case kBaseDate: return FieldType::kDate;
    case kBaseTime: return FieldType::kTime;
    case kBaseDateTime: return FieldType::kDateTime;
    case kBaseZString:
      if (EqualsIgnoreCase(subtype, "FixedChar")) return FieldType::kFixedChar;
      if (EqualsIgnoreCase(subtype, "Guid")) return FieldType::kGuid;
      return FieldType::kString;
    case kBaseUnicode: return FieldType::kWideString;
    case kBaseBytes: {
      const FieldType blob = BlobType(subtype);
      if (blob != FieldType::kUnknown) return blob;
      if (varying && size >= 4) return FieldType::kBlob;  // 4-byte length prefix: a blob
      return varying ? FieldType::kVarBytes : FieldType::kBytes;
    }
    case kBaseAdt: return FieldType::kAdt;
    case kBaseArray: return FieldType::kArray;
    case kBaseNested: return FieldType::kDataSet;
    case kBaseReference: return FieldType::kReference;
    case kBaseSqlTimeStamp: return FieldType::kTimeStamp;
    case kBaseFmtBcd: return FieldType::kFmtBcd;
    default: return FieldType::kUnknown;
  }
}

// --- Property ---------------------------------------------------------------------------------

std::optional<std::int64_t> Property::AsInteger() const {
  const std::uint8_t base = BaseType();
  if (IsArray() || IsVarying() || (base != kBaseInt && base != kBaseUInt && base != kBaseBool)) {
    return std::nullopt;
  }
  const std::size_t n = value.size();
  if (n != size || (n != 1 && n != 2 && n != 4 && n != 8)) return std::nullopt;
  if (base == kBaseUInt) return static_cast<std::int64_t>(ReadLittleEndian(value.data(), n));
  return ReadSigned(value.data(), n);
}

std::string Property::AsString() const {
  std::string s(value.begin(), value.end());
  const std::size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  return s;
}

std::vector<std::int64_t> Property::AsIntegers() const {
  std::vector<std::int64_t> out;
  const std::uint8_t base = BaseType();
  if (!IsArray() || (base != kBaseInt && base != kBaseUInt)) return out;
  if (size != 1 && size != 2 && size != 4 && size != 8) return out;
  if (value.size() / size != count || value.size() % size != 0) return out;
  out.reserve(count);
  for (std::size_t i = 0; i < value.size(); i += size) {
    out.push_back(base == kBaseUInt ? static_cast<std::int64_t>(ReadLittleEndian(&value[i], size))
                                    : ReadSigned(&value[i], size));
  }
  return out;
}

Property Property::Boolean(std::string name, bool value) {
  Property p;
  p.name = std::move(name);
  p.size = 2;
  p.type_word = kBaseBool;
  p.value = {static_cast<std::uint8_t>(value ? 1 : 0), 0};
  return p;
}

Property Property::UInt16(std::string name, std::uint16_t value) {
  Property p;
  p.name = std::move(name);
  p.size = 2;
  p.type_word = kBaseUInt;
  p.value.resize(2);
  WriteLittleEndian(value, 2, p.value.data());
  return p;
}

Property Property::Int32(std::string name, std::int32_t value) {
  Property p;
  p.name = std::move(name);
  p.size = 4;
  p.type_word = kBaseInt;
  p.value.resize(4);
  WriteLittleEndian(static_cast<std::uint32_t>(value), 4, p.value.data());
  return p;
}

Property Property::ZString(std::string name, std::string_view value) {
  Property p;
  p.name = std::move(name);
  p.size = 2;
  p.type_word = kTypeVarying | kBaseZString;
  p.value.assign(value.begin(), value.end());
  p.value.push_back(0);
  return p;
}

Property Property::UInt32Array(std::string name, const std::vector<std::uint32_t>& values) {
  Property p;
  p.name = std::move(name);
  p.size = 4;
  p.type_word = kTypeArray | kBaseUInt;
  p.count = static_cast<std::uint32_t>(values.size());
  p.value.resize(values.size() * 4);
  for (std::size_t i = 0; i < values.size(); ++i) WriteLittleEndian(values[i], 4, &p.value[i * 4]);
  return p;
}

const Property* FindProperty(const std::vector<Property>& properties, std::string_view name) {
  for (const Property& p : properties) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

// --- Column -----------------------------------------------------------------------------------

bool Column::IsComposite() const {
  const std::uint8_t base = BaseType();
  return base == kBaseAdt || base == kBaseArray || base == kBaseNested;
}

const Property* Column::FindProperty(std::string_view property_name) const {
  return data::FindProperty(properties, property_name);
}

std::string Column::Subtype() const {
  const Property* p = FindProperty("SUBTYPE");
  return p ? p->AsString() : std::string();
}

std::optional<std::int64_t> Column::Width() const {
  const Property* p = FindProperty("WIDTH");
  return p ? p->AsInteger() : std::nullopt;
}

Column StringColumn(std::string name, std::uint16_t width) {
  Column c = MakeColumn(std::move(name), width <= 255 ? 1 : 2, kTypeVarying | kBaseZString);
  c.properties.push_back(Property::UInt16("WIDTH", width));
  return c;
}

Column FixedCharColumn(std::string name, std::uint16_t width) {
  Column c = MakeColumn(std::move(name), width <= 255 ? 1 : 2, kTypeVarying | kBaseZString);
  c.properties.push_back(Property::ZString("SUBTYPE", "FixedChar"));
  c.properties.push_back(Property::UInt16("WIDTH", width));
  return c;
}

Column WideStringColumn(std::string name, std::uint16_t chars) {
  const std::uint32_t bytes = std::uint32_t{chars} * 2;
  Column c = MakeColumn(std::move(name), bytes <= 255 ? 1 : 2, kTypeVarying | kBaseUnicode);
  c.properties.push_back(Property::UInt16("WIDTH", static_cast<std::uint16_t>(bytes > 0xFFFF ? 0xFFFF : bytes)));
  return c;
}

Column FloatColumn(std::string name, bool money) {
  Column c = MakeColumn(std::move(name), 8, kBaseFloat);
  if (money) c.properties.push_back(Property::ZString("SUBTYPE", "Money"));
  return c;
}

Column IntegerColumn(std::string name, std::uint16_t size) { return MakeColumn(std::move(name), size, kBaseInt); }

Column BooleanColumn(std::string name) { return MakeColumn(std::move(name), 2, kBaseBool); }

Column BcdColumn(std::string name, std::uint8_t precision, std::uint8_t scale) {
  Column c = MakeColumn(std::move(name), static_cast<std::uint16_t>(2 + (precision + 1) / 2), kBaseBcd);
  if (scale != 0) c.properties.push_back(Property::UInt16("DECIMALS", scale));
  c.properties.push_back(Property::UInt16("WIDTH", precision));
  return c;
}

Column DateColumn(std::string name) { return MakeColumn(std::move(name), 4, kBaseDate); }

Column DateTimeColumn(std::string name) { return MakeColumn(std::move(name), 8, kBaseDateTime); }

Column BlobColumn(std::string name, std::string_view subtype) {
  Column c = MakeColumn(std::move(name), 4, kTypeVarying | kBaseBytes);
  c.properties.push_back(Property::ZString("SUBTYPE", subtype));
  return c;
}

// --- Table ------------------------------------------------------------------------------------

std::shared_ptr<const TableSchema> TableSchema::Make(std::vector<Column> columns) {
  auto schema = std::make_shared<TableSchema>();
  schema->columns = std::move(columns);
  for (std::size_t i = 0; i < schema->columns.size(); ++i) FlattenSlots(schema->columns[i], "", i, &schema->slots);
  return schema;
}

namespace {

const std::shared_ptr<const TableSchema>& EmptySchema() {
  static const std::shared_ptr<const TableSchema> schema = TableSchema::Make({});
  return schema;
}

}  // namespace

Table::Table() : Table(EmptySchema()) {}

Table::Table(std::shared_ptr<const TableSchema> schema)
    : schema_(schema ? std::move(schema) : EmptySchema()), slot_count_(schema_->slots.size()) {}

std::ptrdiff_t Table::FindSlot(std::string_view name) const {
  for (std::size_t i = 0; i < slots().size(); ++i) {
    if (EqualsIgnoreCase(slots()[i].name, name)) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

bool Table::IsNull(std::size_t row, std::size_t slot) const {
  return cells_[row * slot_count_ + slot].size >= kNotChangedSize;
}

std::string_view Table::Raw(std::size_t row, std::size_t slot) const {
  const Cell& c = cells_[row * slot_count_ + slot];
  if (c.size >= kNotChangedSize || slots()[slot].BaseType() == kBaseNested) return {};
  return {reinterpret_cast<const char*>(data_.data()) + c.offset, c.size};
}

Value Table::Get(std::size_t row, std::size_t slot) const {
  const Cell& c = cells_[row * slot_count_ + slot];
  if (c.size == kNullSize) return std::monostate{};
  if (c.size == kNotChangedSize) return NotChanged{};
  const Slot& s = slots()[slot];
  const std::string_view raw = Raw(row, slot);
  const auto* p = reinterpret_cast<const std::uint8_t*>(raw.data());
  const std::size_t n = raw.size();
  switch (s.BaseType()) {
    case kBaseInt:
    case kBaseDate:
    case kBaseTime:
      if (n >= 1 && n <= 8) return ReadSigned(p, n);
      break;
    case kBaseUInt:
      if (n >= 1 && n <= 8) return static_cast<std::int64_t>(ReadLittleEndian(p, n));
      break;
    case kBaseBool:
      for (std::size_t i = 0; i < n; ++i) {
        if (p[i] != 0) return true;
      }
      return false;
    case kBaseFloat:
    case kBaseDateTime:
      if (n == 8) {
        double d;
        const std::uint64_t bits = ReadLittleEndian(p, 8);
        std::memcpy(&d, &bits, 8);
        return d;
      }
      if (n == 4) {
        float f;
        const auto bits = static_cast<std::uint32_t>(ReadLittleEndian(p, 4));
        std::memcpy(&f, &bits, 4);
        return static_cast<double>(f);
      }
      break;
    case kBaseBcd:
    case kBaseFmtBcd:
      return Decimal{BcdText(raw)};
    case kBaseUnicode:
      return DecodeUtf16(raw);
    case kBaseBytes:
      if (EqualsIgnoreCase(s.subtype, "WideText")) return DecodeUtf16(raw);
      return std::string(raw);
    case kBaseNested:
      return NestedRows{&nested_[c.offset]};
    case kBaseAdt:
    case kBaseArray:
      return NotChanged{};
    case kBaseSqlTimeStamp:
      if (n == 16) {
        SqlTimeStamp t;
        t.year = static_cast<std::int16_t>(ReadLittleEndian(p, 2));
        t.month = static_cast<std::uint16_t>(ReadLittleEndian(p + 2, 2));
        t.day = static_cast<std::uint16_t>(ReadLittleEndian(p + 4, 2));
        t.hour = static_cast<std::uint16_t>(ReadLittleEndian(p + 6, 2));
        t.minute = static_cast<std::uint16_t>(ReadLittleEndian(p + 8, 2));
        t.second = static_cast<std::uint16_t>(ReadLittleEndian(p + 10, 2));
        t.fraction = static_cast<std::uint32_t>(ReadLittleEndian(p + 12, 4));
        return t;
      }
      break;
    default:
      break;
  }
  return std::string(raw);  // 8-bit strings, unknown and odd-sized values: the bytes
}

void Table::AddCell(const std::uint8_t* bytes, std::size_t n) {
  cells_.push_back({static_cast<std::uint32_t>(data_.size()), static_cast<std::uint32_t>(n)});
  data_.insert(data_.end(), bytes, bytes + n);
}

void Table::AddNestedCell(Table nested) {
  cells_.push_back({static_cast<std::uint32_t>(nested_.size()), 0});
  nested_.push_back(std::move(nested));
}

void Table::Reserve(std::size_t rows, std::size_t value_bytes) {
  cells_.reserve(rows * slot_count_);
  data_.reserve(value_bytes);
}

void Table::RemoveRow(std::size_t row) {
  const auto first = cells_.begin() + static_cast<std::ptrdiff_t>(row * slot_count_);
  cells_.erase(first, first + static_cast<std::ptrdiff_t>(slot_count_));
  --row_count_;  // the bytes stay in the arena until the table goes
}

std::size_t Table::MemoryUsage() const {
  std::size_t bytes = cells_.capacity() * sizeof(Cell) + data_.capacity() + nested_.capacity() * sizeof(Table);
  for (const Table& t : nested_) bytes += t.MemoryUsage();
  return bytes;
}

bool Table::AddRow(const std::vector<Value>& values) {
  if (values.size() != slot_count_) return false;
  // Encode into a scratch row first, so that a bad value adds nothing.
  std::vector<std::uint8_t> bytes;
  std::vector<Cell> cells;
  std::vector<Table> nested;
  constexpr std::size_t kMaxArena = 0xF0000000;
  for (std::size_t i = 0; i < slot_count_; ++i) {
    const Slot& s = slots()[i];
    const Value& v = values[i];
    if (std::holds_alternative<std::monostate>(v)) {
      cells.push_back({0, kNullSize});
      continue;
    }
    if (std::holds_alternative<NotChanged>(v)) {
      cells.push_back({0, kNotChangedSize});
      continue;
    }
    const std::size_t start = bytes.size();
    std::uint8_t buffer[kBcdValueSize];
    const bool varying = (s.type_word & kTypeVarying) != 0;
    // Largest length that the column's prefix can hold.
    const std::uint64_t max_length =
        s.size >= 4 ? 0xFFFFFFFFu : (std::uint64_t{1} << (8 * s.size)) - 1;
    auto put = [&](const void* p, std::size_t n) {
      const auto* b = static_cast<const std::uint8_t*>(p);
      bytes.insert(bytes.end(), b, b + n);
    };
    auto put_string = [&](const void* p, std::size_t n) {
      if (varying) {
        if (n > max_length) return false;
        put(p, n);
        return true;
      }
      if (n > s.size) return false;
      put(p, n);
      bytes.resize(start + s.size, 0);  // a fixed value fills its size
      return true;
    };
    bool ok = false;
    switch (s.BaseType()) {
      case kBaseInt:
      case kBaseUInt:
      case kBaseDate:
      case kBaseTime:
        if (const auto* x = std::get_if<std::int64_t>(&v)) {
          const std::size_t n = s.size;
          const bool fits = s.BaseType() == kBaseUInt ? FitsUnsigned(*x, n) : FitsSigned(*x, n);
          if ((n == 1 || n == 2 || n == 4 || n == 8) && !varying && fits) {
            WriteLittleEndian(static_cast<std::uint64_t>(*x), n, buffer);
            put(buffer, n);
            ok = true;
          }
        }
        break;
      case kBaseBool:
        if (const auto* x = std::get_if<bool>(&v); x && s.size == 2 && !varying) {
          buffer[0] = *x ? 1 : 0;
          buffer[1] = 0;
          put(buffer, 2);
          ok = true;
        }
        break;
      case kBaseFloat:
      case kBaseDateTime:
        if (const auto* x = std::get_if<double>(&v); x && s.size == 8 && !varying) {
          std::uint64_t bits;
          std::memcpy(&bits, x, 8);
          WriteLittleEndian(bits, 8, buffer);
          put(buffer, 8);
          ok = true;
        }
        break;
      case kBaseBcd:
        if (const auto* x = std::get_if<Decimal>(&v)) {
          ok = EncodeBcd(x->text, s.width, s.decimals, buffer);
          if (ok) put(buffer, kBcdValueSize);
        }
        break;
      case kBaseZString:
      case kBaseBytes:
      case kBaseUnknown:
      case kBaseReference:
        if (const auto* x = std::get_if<std::string>(&v)) {
          ok = put_string(x->data(), x->size());
        } else if (const auto* w = std::get_if<std::u16string>(&v); w && s.BaseType() == kBaseBytes) {
          const std::string utf16 = EncodeUtf16(*w);
          ok = put_string(utf16.data(), utf16.size());
        }
        break;
      case kBaseUnicode:
        if (const auto* w = std::get_if<std::u16string>(&v)) {
          const std::string utf16 = EncodeUtf16(*w);
          ok = put_string(utf16.data(), utf16.size());
        }
        break;
      case kBaseSqlTimeStamp:
        if (const auto* t = std::get_if<SqlTimeStamp>(&v)) {
          std::uint8_t b[16];
          WriteLittleEndian(static_cast<std::uint16_t>(t->year), 2, b);
          WriteLittleEndian(t->month, 2, b + 2);
          WriteLittleEndian(t->day, 2, b + 4);
          WriteLittleEndian(t->hour, 2, b + 6);
          WriteLittleEndian(t->minute, 2, b + 8);
          WriteLittleEndian(t->second, 2, b + 10);
          WriteLittleEndian(t->fraction, 4, b + 12);
          put(b, 16);
          ok = true;
        }
        break;
      case kBaseNested:
        if (const auto* r = std::get_if<NestedRows>(&v); r && r->table) {
          const auto& given = r->table->slots();
          const auto& expected = s.nested->slots;
          ok = given.size() == expected.size();
          for (std::size_t k = 0; ok && k < given.size(); ++k) {
            ok = given[k].name == expected[k].name && given[k].type_word == expected[k].type_word &&
                 given[k].size == expected[k].size;
          }
          if (ok) {
            cells.push_back({static_cast<std::uint32_t>(nested_.size() + nested.size()), 0});
            nested.push_back(*r->table);
            continue;
          }
        }
        break;
      default:
        break;  // ADT and array parents take no value; FMTBcd values are not written
    }
    if (!ok) return false;
    if (data_.size() + bytes.size() > kMaxArena) return false;
    cells.push_back({static_cast<std::uint32_t>(data_.size() + start), static_cast<std::uint32_t>(bytes.size() - start)});
  }
  cells_.insert(cells_.end(), cells.begin(), cells.end());
  data_.insert(data_.end(), bytes.begin(), bytes.end());
  for (Table& t : nested) nested_.push_back(std::move(t));
  ++row_count_;
  return true;
}

// --- Packet -----------------------------------------------------------------------------------

bool Packet::HasOption(std::string_view name) const {
  const Property* p = FindProperty(properties, name);
  if (!p) return false;
  const std::optional<std::int64_t> v = p->AsInteger();
  return v.has_value() && *v != 0;
}

}  // namespace data
