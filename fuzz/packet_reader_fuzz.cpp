// Fuzz target for the data packet reader and what follows it: decoding every value, writing
// the packet again, and opening the unit table's data set on it. Any crash, over-read or
// sanitizer report is a fault; a packet that the reader refuses is not.
//
//   fuzz/packet_reader_fuzz -max_len=65536 CORPUS_DIR tests/data/samples
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/packet_reader.h"
#include "data/packet_writer.h"

namespace {

bool HasFmtBcd(const std::vector<data::Column>& columns) {
  for (const data::Column& c : columns) {
    if (c.BaseType() == data::kBaseFmtBcd || HasFmtBcd(c.children)) return true;
  }
  return false;
}

void TouchValues(const data::Table& table) {
  for (std::size_t r = 0; r < table.RowCount(); ++r) {
    for (std::size_t s = 0; s < table.slots().size(); ++s) {
      const data::Value v = table.Get(r, s);
      if (const auto* n = std::get_if<data::NestedRows>(&v)) TouchValues(*n->table);
    }
  }
}

class OneReply : public data::RecordRequest {
 public:
  OneReply(const std::uint8_t* data, std::size_t size) : packet_(data, data + size) {}
  data::RecordReply GetRecords(const std::string&, std::int32_t count, std::int32_t, const std::string&) override {
    data::RecordReply r;
    if (count != 0) {
      r.kind = data::RecordReply::Kind::kPacket;
      r.packet = packet_;
    }
    return r;
  }

 private:
  std::vector<std::uint8_t> packet_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  data::Packet packet;
  if (data::ReadPacket(data, size, &packet).ok()) {
    TouchValues(packet.table);
    // What the reader accepts, the writer writes and the reader reads back.
    if (!HasFmtBcd(packet.columns())) {
      data::Packet again;
      if (!data::ReadPacket(data::WritePacket(packet), &again).ok() ||
          again.table.RowCount() != packet.table.RowCount()) {
        std::abort();
      }
    }
  }

  OneReply server(data, size);
  data::VeldoUnitDataSet ds;
  try {
    ds.Open(server);
    for (std::size_t r = 0; r < ds.RecordCount(); ++r) {
      for (const auto& field : ds.Fields()) field->DisplayTextAt(r);
    }
    if (!ds.IsEmpty() && ds.CanModify()) ds.Delete();
  } catch (const std::runtime_error&) {
    // refused packets and refused deletes are ordinary errors
  }
  return 0;
}
