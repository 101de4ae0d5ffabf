#include "data/packet_reader.h"

#include <algorithm>
#include <utility>

#include "data/bytes.h"

namespace data {
namespace {

constexpr std::uint8_t kSignature[4] = {0x96, 0x19, 0xE0, 0xBD};
constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kMinDescriptorSize = 9;  // name length, size, type, attributes, count
constexpr std::size_t kMinPropertySize = 5;    // name length, size, type
constexpr std::uint8_t kStatusSuperseded = 0x01;
constexpr std::uint8_t kStatusDeleted = 0x02;
// A nested value holds a table object: count it as the cells it weighs.
constexpr std::size_t kNestedTableWeight = (sizeof(Table) + 7) / 8;

// How many bytes an FMTBcd value takes: no packet with such values has been seen, so the
// reader tries the candidates and keeps the one that ends the packet exactly.
enum class FmtBcdSize { kDeclared, k18, k34 };

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size, ReadLimits limits) : in_(data, size), limits_(limits) {}

  ReadStatus Read(Packet* packet);

 private:
  bool Fail(ReadError error, const std::string& what) {
    if (status_.ok()) {
      status_.error = error;
      status_.message = what + " at offset " + std::to_string(in_.offset());
    }
    return false;
  }
  bool Truncated(const std::string& what) { return Fail(ReadError::kTruncated, "truncated " + what); }

  bool ReadName(std::string* name, const char* what);
  bool ReadProperty(Property* p);
  bool ReadPropertyList(std::vector<Property>* list);
  bool ReadColumn(std::size_t* descriptors_left, int depth, Column* column);
  bool CheckColumn(const Column& c);
  bool ReadNestedPropertyLists(std::vector<Column>* columns);
  bool ReadRecords(std::uint32_t count, int depth, Table* table);
  bool ReadValue(const Slot& slot, int depth, const std::uint8_t** bytes, std::size_t* n, Table* nested);

  ByteReader in_;
  ReadLimits limits_;
  ReadStatus status_;
  FmtBcdSize fmtbcd_ = FmtBcdSize::kDeclared;
  std::size_t values_ = 0;  // cells kept so far, all levels
};

bool Reader::ReadName(std::string* name, const char* what) {
  std::uint8_t length = 0;
  const std::uint8_t* bytes = nullptr;
  if (!in_.ReadU8(&length)) return Truncated(std::string(what) + " name length");
  if (!in_.ReadBytes(length, &bytes)) return Truncated(std::string(what) + " name");
  name->assign(reinterpret_cast<const char*>(bytes), length);
  return true;
}

bool Reader::ReadProperty(Property* p) {
  if (!ReadName(&p->name, "property")) return false;
  if (!in_.ReadU16(&p->size) || !in_.ReadU16(&p->type_word)) return Truncated("property " + p->name);
  std::uint64_t length = p->size;
  if (p->IsArray()) {
    if (!in_.ReadU32(&p->count)) return Truncated("count of property " + p->name);
    length = std::uint64_t{p->count} * p->size;  // 64 bits: cannot overflow
  } else if (p->IsVarying()) {
    if (p->size != 1 && p->size != 2 && p->size != 4) {
      return Fail(ReadError::kBadProperty, "length prefix of " + std::to_string(p->size) + " bytes in property " + p->name);
    }
    if (!in_.ReadUInt(p->size, &length)) return Truncated("length of property " + p->name);
  }
  const std::uint8_t* bytes = nullptr;
  if (length > in_.remaining() || !in_.ReadBytes(static_cast<std::size_t>(length), &bytes)) {
    return Truncated("value of property " + p->name);
  }
  p->value.assign(bytes, bytes + length);
  return true;
}

bool Reader::ReadPropertyList(std::vector<Property>* list) {
  std::uint16_t count = 0;
  if (!in_.ReadU16(&count)) return Truncated("property count");
  if (std::size_t{count} * kMinPropertySize > in_.remaining()) return Truncated("property list");
  list->resize(count);
  for (Property& p : *list) {
    if (!ReadProperty(&p)) return false;
  }
  return true;
}

// The value layout that the records rely on must be one the reader knows.
bool Reader::CheckColumn(const Column& c) {
  const std::uint8_t base = c.BaseType();
  const auto bad = [&](const std::string& why) { return Fail(ReadError::kBadColumn, "column " + c.name + ": " + why); };
  if (base == 16 || base > kBaseFmtBcd) return bad("unknown type code " + std::to_string(base));
  if (c.IsComposite()) return true;
  if (c.IsVarying()) {
    if (c.size != 1 && c.size != 2 && c.size != 4) return bad("length prefix of " + std::to_string(c.size) + " bytes");
    return true;
  }
  const std::uint16_t s = c.size;
  switch (base) {
    case kBaseInt:
    case kBaseUInt:
      if (s != 1 && s != 2 && s != 4 && s != 8) return bad("integer of " + std::to_string(s) + " bytes");
      break;
    case kBaseBool:
      if (s != 1 && s != 2 && s != 4) return bad("Boolean of " + std::to_string(s) + " bytes");
      break;
    case kBaseFloat:
      if (s != 4 && s != 8) return bad("float of " + std::to_string(s) + " bytes");
      break;
    case kBaseDate:
    case kBaseTime:
      if (s != 4) return bad("date or time of " + std::to_string(s) + " bytes");
      break;
    case kBaseDateTime:
      if (s != 8) return bad("date-time of " + std::to_string(s) + " bytes");
      break;
    default:
      break;  // BCD and time stamps have sizes of their own; the rest take `size` bytes
  }
  return true;
}

bool Reader::ReadColumn(std::size_t* descriptors_left, int depth, Column* c) {
  if (depth > kMaxNesting) return Fail(ReadError::kTooLarge, "columns nested more than " + std::to_string(kMaxNesting) + " deep");
  --*descriptors_left;
  if (!ReadName(&c->name, "column")) return false;
  if (!in_.ReadU16(&c->size) || !in_.ReadU16(&c->type_word) || !in_.ReadU16(&c->attributes)) {
    return Truncated("column " + c->name);
  }
  if (!ReadPropertyList(&c->properties) || !CheckColumn(*c)) return false;
  if (!c->IsComposite()) return true;
  // A composite column's size counts its children, which follow it in the flat list.
  if (c->size > *descriptors_left) {
    return Fail(ReadError::kBadColumn, "column " + c->name + " has " + std::to_string(c->size) +
                                           " children but only " + std::to_string(*descriptors_left) +
                                           " columns remain");
  }
  c->children.resize(c->size);
  for (Column& child : c->children) {
    if (!ReadColumn(descriptors_left, depth + 1, &child)) return false;
  }
  return true;
}

// One list per nested-table column, children before parents, in descriptor order.
bool Reader::ReadNestedPropertyLists(std::vector<Column>* columns) {
  for (Column& c : *columns) {
    if (!ReadNestedPropertyLists(&c.children)) return false;
    if (c.BaseType() == kBaseNested && !ReadPropertyList(&c.table_properties)) return false;
  }
  return true;
}

bool Reader::ReadValue(const Slot& slot, int depth, const std::uint8_t** bytes, std::size_t* n, Table* nested) {
  const std::uint8_t base = slot.BaseType();
  std::uint64_t length = 0;
  switch (base) {
    case kBaseAdt:
    case kBaseArray:
      *n = 0;  // the children follow as slots of their own
      return true;
    case kBaseNested: {
      std::uint32_t rows = 0;
      if (!in_.ReadU32(&rows)) return Truncated("row count of " + slot.name);
      *nested = Table(slot.nested);
      return ReadRecords(rows, depth + 1, nested);
    }
    default:
      break;
  }
  if (slot.type_word & kTypeVarying) {
    if (!in_.ReadUInt(slot.size, &length)) return Truncated("length of " + slot.name);
  } else if (base == kBaseBcd) {
    length = kBcdValueSize;
  } else if (base == kBaseSqlTimeStamp) {
    length = 16;
  } else if (base == kBaseFmtBcd) {
    length = fmtbcd_ == FmtBcdSize::kDeclared ? slot.size : fmtbcd_ == FmtBcdSize::k18 ? 18 : 34;
  } else {
    length = slot.size;
  }
  if (length > in_.remaining() || !in_.ReadBytes(static_cast<std::size_t>(length), bytes)) {
    return Truncated("value of " + slot.name);
  }
  *n = static_cast<std::size_t>(length);
  return true;
}

bool Reader::ReadRecords(std::uint32_t count, int depth, Table* table) {
  if (depth > kMaxNesting) return Fail(ReadError::kTooLarge, "tables nested more than " + std::to_string(kMaxNesting) + " deep");
  const std::vector<Slot>& slots = table->slots();
  const std::size_t bitmap_size = (2 * slots.size() + 7) / 8;
  const std::size_t min_record = 1 + bitmap_size;
  if (count > in_.remaining() / min_record) return Truncated(std::to_string(count) + " records");
  // Values are a part of the remaining bytes, so this reservation is bounded by the input.
  if (depth == 0) table->Reserve(count, in_.remaining());

  struct Pending {
    const std::uint8_t* bytes;
    std::size_t n;
    std::uint8_t mark;
    Table nested;
  };
  std::vector<Pending> row(slots.size());
  for (std::uint32_t r = 0; r < count; ++r) {
    std::uint8_t status = 0;
    const std::uint8_t* bitmap = nullptr;
    if (!in_.ReadU8(&status)) return Truncated("record status");
    if (!in_.ReadBytes(bitmap_size, &bitmap)) return Truncated("null bitmap");
    for (std::size_t i = 0; i < slots.size(); ++i) {
      Pending& p = row[i];
      p.mark = (bitmap[i / 4] >> (2 * (i % 4))) & 3;
      p.n = 0;
      if (p.mark == 0 && !ReadValue(slots[i], depth, &p.bytes, &p.n, &p.nested)) return false;
    }
    if (status & (kStatusSuperseded | kStatusDeleted)) continue;
    std::size_t cost = slots.size();
    for (std::size_t i = 0; i < slots.size(); ++i) {
      if (row[i].mark == 0 && slots[i].BaseType() == kBaseNested) cost += kNestedTableWeight;
    }
    if (cost > limits_.max_values - values_) {
      return Fail(ReadError::kTooLarge, "more than " + std::to_string(limits_.max_values) + " values");
    }
    values_ += cost;
    for (std::size_t i = 0; i < slots.size(); ++i) {
      Pending& p = row[i];
      if (p.mark == 2) {
        table->AddNotChangedCell();
      } else if (p.mark != 0) {
        table->AddNullCell();  // 1; 3 was never seen and carries no bytes either
      } else if (slots[i].BaseType() == kBaseNested) {
        table->AddNestedCell(std::move(p.nested));
      } else if (slots[i].BaseType() == kBaseAdt || slots[i].BaseType() == kBaseArray) {
        table->AddNotChangedCell();
      } else {
        table->AddCell(p.bytes, p.n);
      }
    }
    table->EndRow();
  }
  return true;
}

bool HasFmtBcd(const std::vector<Column>& columns) {
  for (const Column& c : columns) {
    if (c.BaseType() == kBaseFmtBcd || HasFmtBcd(c.children)) return true;
  }
  return false;
}

ReadStatus Reader::Read(Packet* packet) {
  const std::uint8_t* signature = nullptr;
  std::uint32_t version = 0, header_size = 0, record_count = 0, flags = 0;
  std::uint16_t descriptor_count = 0, metadata_length = 0;
  if (!in_.ReadBytes(4, &signature)) {
    Truncated("header");
    return status_;
  }
  if (!std::equal(signature, signature + 4, kSignature)) {
    Fail(ReadError::kBadSignature, "not a data packet: bad signature");
    return status_;
  }
  if (!in_.ReadU32(&version) || !in_.ReadU32(&header_size) || !in_.ReadU16(&descriptor_count) ||
      !in_.ReadU32(&record_count) || !in_.ReadU32(&flags) || !in_.ReadU16(&metadata_length)) {
    Truncated("header");
    return status_;
  }
  if (version != 1 && version != 2) {
    Fail(ReadError::kBadVersion, "unknown version " + std::to_string(version));
    return status_;
  }
  if (header_size != kHeaderSize) {
    Fail(ReadError::kBadHeader, "header size " + std::to_string(header_size) + " instead of 24");
    return status_;
  }

  if (std::size_t{descriptor_count} * kMinDescriptorSize > in_.remaining()) {
    Truncated(std::to_string(descriptor_count) + " column descriptions");
    return status_;
  }
  std::vector<Column> columns;
  std::size_t left = descriptor_count;
  while (left > 0) {
    columns.emplace_back();
    if (!ReadColumn(&left, 0, &columns.back())) return status_;
  }
  std::vector<Property> properties;
  if (!ReadNestedPropertyLists(&columns) || !ReadPropertyList(&properties)) return status_;

  // Offset 22 holds the metadata length only when it fits; it is a cross-check, not a guide.
  const std::size_t metadata_end = in_.offset();
  const bool length_in_header = flags == 3 || metadata_length != 0;
  if (length_in_header && metadata_length != metadata_end) {
    Fail(ReadError::kHeaderMismatch, "metadata ends at " + std::to_string(metadata_end) +
                                         " but the header says " + std::to_string(metadata_length));
    return status_;
  }

  const std::vector<FmtBcdSize> tries = HasFmtBcd(columns) && record_count > 0
                                            ? std::vector<FmtBcdSize>{FmtBcdSize::kDeclared, FmtBcdSize::k18, FmtBcdSize::k34}
                                            : std::vector<FmtBcdSize>{FmtBcdSize::kDeclared};
  const ByteReader records_start = in_;
  ReadStatus first_failure;
  for (FmtBcdSize attempt : tries) {
    in_ = records_start;
    status_ = ReadStatus();
    fmtbcd_ = attempt;
    values_ = 0;
    Table table(columns);
    if (ReadRecords(record_count, 0, &table)) {
      if (in_.remaining() == 0) {
        packet->version = version;
        packet->table = std::move(table);
        packet->properties = std::move(properties);
        return status_;
      }
      Fail(ReadError::kTrailingBytes, std::to_string(in_.remaining()) + " bytes after the last record");
    }
    if (first_failure.ok()) first_failure = status_;
  }
  return first_failure;
}

}  // namespace

ReadStatus ReadPacket(const std::uint8_t* data, std::size_t size, Packet* packet, ReadLimits limits) {
  *packet = Packet();
  Reader reader(data, size, limits);
  return reader.Read(packet);
}

}  // namespace data
