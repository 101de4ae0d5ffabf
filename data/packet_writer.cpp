#include "data/packet_writer.h"

#include <stdexcept>

#include "data/bytes.h"

namespace data {
namespace {

constexpr std::uint8_t kSignature[4] = {0x96, 0x19, 0xE0, 0xBD};
constexpr std::size_t kHeaderSize = 24;

class Out {
 public:
  explicit Out(std::vector<std::uint8_t>* bytes) : bytes_(bytes) {}
  void U8(std::uint64_t v) { Int(v, 1); }
  void U16(std::uint64_t v) { Int(v, 2); }
  void U32(std::uint64_t v) { Int(v, 4); }
  void Int(std::uint64_t v, std::size_t n) {
    std::uint8_t b[8];
    WriteLittleEndian(v, n, b);
    bytes_->insert(bytes_->end(), b, b + n);
  }
  void Bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    bytes_->insert(bytes_->end(), b, b + n);
  }
  void Name(std::string_view name) {
    if (name.size() > 255) throw std::invalid_argument("name longer than 255 bytes: " + std::string(name));
    U8(name.size());
    Bytes(name.data(), name.size());
  }

 private:
  std::vector<std::uint8_t>* bytes_;
};

bool NeedsVersion2(const std::vector<Column>& columns) {
  for (const Column& c : columns) {
    if (c.BaseType() >= kBaseAdt || (c.type_word & 0xFF00) != 0 || NeedsVersion2(c.children)) return true;
  }
  return false;
}

std::size_t CountDescriptors(const std::vector<Column>& columns) {
  std::size_t n = 0;
  for (const Column& c : columns) n += 1 + CountDescriptors(c.children);
  return n;
}

void WriteProperty(Out& out, const Property& p) {
  out.Name(p.name);
  out.U16(p.size);
  out.U16(p.type_word);
  if (p.IsArray()) {
    out.U32(p.count);
  } else if (p.IsVarying()) {
    if (p.size < 1 || p.size > 4 || (p.size < 4 && p.value.size() >= (std::size_t{1} << (8 * p.size)))) {
      throw std::invalid_argument("property value does not fit its length prefix: " + p.name);
    }
    out.Int(p.value.size(), p.size);
  }
  out.Bytes(p.value.data(), p.value.size());
}

void WritePropertyList(Out& out, const std::vector<Property>& properties) {
  if (properties.size() > 0xFFFF) throw std::invalid_argument("too many properties");
  out.U16(properties.size());
  for (const Property& p : properties) WriteProperty(out, p);
}

void WriteDescriptors(Out& out, const std::vector<Column>& columns) {
  for (const Column& c : columns) {
    out.Name(c.name);
    out.U16(c.IsComposite() ? c.children.size() : c.size);
    out.U16(c.type_word);
    out.U16(c.attributes);
    WritePropertyList(out, c.properties);
    WriteDescriptors(out, c.children);
  }
}

// The nested tables' own lists, children before parents, in descriptor order.
void WriteNestedPropertyLists(Out& out, const std::vector<Column>& columns) {
  for (const Column& c : columns) {
    WriteNestedPropertyLists(out, c.children);
    if (c.BaseType() == kBaseNested) WritePropertyList(out, c.table_properties);
  }
}

void WriteRows(Out& out, const Table& table) {
  const std::vector<Slot>& slots = table.slots();
  const std::size_t bitmap_size = (2 * slots.size() + 7) / 8;
  std::vector<std::uint8_t> bitmap(bitmap_size);
  for (std::size_t row = 0; row < table.RowCount(); ++row) {
    std::fill(bitmap.begin(), bitmap.end(), 0);
    for (std::size_t i = 0; i < slots.size(); ++i) {
      const Value v = table.IsNull(row, i) ? table.Get(row, i) : Value{};
      std::uint8_t mark = 0;
      if (table.IsNull(row, i)) mark = std::holds_alternative<NotChanged>(v) ? 2 : 1;
      bitmap[i / 4] |= static_cast<std::uint8_t>(mark << (2 * (i % 4)));
    }
    out.U8(0);  // status: unmodified
    out.Bytes(bitmap.data(), bitmap.size());
    for (std::size_t i = 0; i < slots.size(); ++i) {
      if (table.IsNull(row, i)) continue;
      const Slot& s = slots[i];
      if (s.BaseType() == kBaseNested) {
        const Table* nested = std::get<NestedRows>(table.Get(row, i)).table;
        out.U32(nested->RowCount());
        WriteRows(out, *nested);
        continue;
      }
      const std::string_view raw = table.Raw(row, i);
      if (s.type_word & kTypeVarying) out.Int(raw.size(), s.size >= 4 ? 4 : s.size);
      out.Bytes(raw.data(), raw.size());
    }
  }
}

}  // namespace

std::vector<std::uint8_t> WritePacket(const Packet& packet) {
  const std::vector<Column>& columns = packet.columns();
  const std::size_t descriptors = CountDescriptors(columns);
  if (descriptors > 0xFFFF) throw std::invalid_argument("too many columns");
  if (packet.table.RowCount() > 0xFFFFFFFFu) throw std::invalid_argument("too many rows");

  std::vector<std::uint8_t> bytes;
  Out out(&bytes);
  out.Bytes(kSignature, 4);
  out.U32(NeedsVersion2(columns) ? 2 : 1);
  out.U32(kHeaderSize);
  out.U16(descriptors);
  out.U32(packet.table.RowCount());
  out.U32(3);  // flags and metadata length, set below
  out.U16(0);
  WriteDescriptors(out, columns);
  WriteNestedPropertyLists(out, columns);
  WritePropertyList(out, packet.properties);
  const std::size_t metadata_end = bytes.size();
  if (metadata_end > 0xFFFF) {
    WriteLittleEndian(1, 4, &bytes[18]);
  } else {
    WriteLittleEndian(metadata_end, 2, &bytes[22]);
  }
  WriteRows(out, packet.table);
  return bytes;
}

PacketWriter::PacketWriter(std::vector<Column> columns) { packet_.table = Table(std::move(columns)); }

PacketWriter& PacketWriter::SetOption(std::string_view name) {
  for (Property& p : packet_.properties) {
    if (p.name == name) {
      p = Property::Boolean(std::string(name), true);
      return *this;
    }
  }
  packet_.properties.push_back(Property::Boolean(std::string(name), true));
  return *this;
}

PacketWriter& PacketWriter::AddProperty(Property property) {
  packet_.properties.push_back(std::move(property));
  return *this;
}

bool PacketWriter::AddRow(const std::vector<Value>& values) { return packet_.table.AddRow(values); }

}  // namespace data
