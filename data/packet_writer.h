#pragma once
// Writes binary data packets: version 1 unless a column needs version 2, the usual header
// constants, strings as varying zstrings with WIDTH, floats as 8-byte doubles (Money as
// SUBTYPE "Money"), Boolean options as properties present only when set, no change log.
// Portable: no <windows.h>.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/packet.h"

namespace data {

// The bytes of `packet`: its columns, its properties and every row of its table.
std::vector<std::uint8_t> WritePacket(const Packet& packet);

// A small builder, e.g. for the unit table:
//   PacketWriter w({StringColumn("SPDW01", 6), FloatColumn("ZHXS00"), StringColumn("SPDW02", 6)});
//   w.AddRow({std::string("\xd6\xa7"), 1.0, std::string("\xd6\xa7")});   // GBK bytes
//   w.AddRow({Value{}, 20.0, Value{}});                                 // nulls
//   std::vector<std::uint8_t> bytes = w.Finish();
class PacketWriter {
 public:
  explicit PacketWriter(std::vector<Column> columns);

  // Sets a Boolean data-set option ("READONLY", "DISABLE_DELETES", "NO_RESET_CALL", ...).
  PacketWriter& SetOption(std::string_view name);
  PacketWriter& AddProperty(Property property);
  // One value per slot (a column, or an ADT child). False when a value does not fit its
  // column; the row is then not added.
  bool AddRow(const std::vector<Value>& values);

  const Packet& packet() const { return packet_; }
  std::vector<std::uint8_t> Finish() const { return WritePacket(packet_); }

 private:
  Packet packet_;
};

}  // namespace data
