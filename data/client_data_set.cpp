#include "data/client_data_set.h"

#include <utility>

#include "data/bytes.h"
#include "data/packet_reader.h"

namespace data {
namespace {

constexpr const char* kClosedMessage = "Cannot perform this operation on a closed dataset";

}  // namespace

ClientDataSet::ClientDataSet(std::string name) : name_(std::move(name)) {}

ClientDataSet::~ClientDataSet() = default;

void ClientDataSet::Raise(const std::string& message) const { throw DatabaseError(name_ + ": " + message); }

void ClientDataSet::CheckActive() const {
  if (!active_) Raise(kClosedMessage);
}

void ClientDataSet::CheckCanModify() const {
  CheckActive();
  if (read_only_) Raise("Cannot modify a read-only dataset");
}

StringField& ClientDataSet::AddStringField(std::string field_name, int size) {
  fields_.push_back(std::make_unique<StringField>(*this, std::move(field_name), size));
  return static_cast<StringField&>(*fields_.back());
}

FloatField& ClientDataSet::AddFloatField(std::string field_name, int precision) {
  fields_.push_back(std::make_unique<FloatField>(*this, std::move(field_name), precision));
  return static_cast<FloatField&>(*fields_.back());
}

Field* ClientDataSet::FindField(std::string_view field_name) const {
  for (const auto& f : fields_) {
    if (EqualsIgnoreCase(f->FieldName(), field_name)) return f.get();
  }
  return nullptr;
}

Field& ClientDataSet::FieldByName(std::string_view field_name) const {
  Field* f = FindField(field_name);
  if (!f) Raise("Field '" + std::string(field_name) + "' not found");
  return *f;
}

// --- Opening ----------------------------------------------------------------------------------

void ClientDataSet::Fetch(Packet* packet, bool* provider_eof, bool* no_reset) const {
  if (!server_) Raise("Missing data provider or data packet");
  RecordReply reply = server_->GetRecords(provider_name_, packet_records_, kRequestMetadata, command_text_);
  switch (reply.kind) {
    case RecordReply::Kind::kNull:
      Raise("Missing data provider or data packet");
    case RecordReply::Kind::kOther:
      throw DatabaseError("Invalid data packet");
    case RecordReply::Kind::kPacket:
      break;
  }
  // Asking for all rows, the table is complete when the count differs, as it normally does.
  *provider_eof = reply.records_sent != packet_records_;
  const ReadStatus status = ReadPacket(reply.packet, packet);
  if (!status.ok()) throw PacketError("Mismatch in datapacket: " + status.message);
  *no_reset = packet->HasOption(kNoResetCallOption);
}

std::vector<std::size_t> ClientDataSet::Bind(const Packet& packet) const {
  std::vector<std::size_t> slots;
  for (const auto& field : fields_) {
    const std::ptrdiff_t slot = packet.table.FindSlot(field->FieldName());
    if (slot < 0) Raise("Field '" + field->FieldName() + "' not found");
    const FieldType column_type = packet.table.slots()[static_cast<std::size_t>(slot)].type;
    if (!field->AcceptsColumn(column_type)) {
      Raise("Type mismatch for field '" + field->FieldName() + "', expecting: " +
            std::string(FieldTypeName(field->DataType())) + " actual: " + std::string(FieldTypeName(column_type)));
    }
    slots.push_back(static_cast<std::size_t>(slot));
  }
  return slots;
}

void ClientDataSet::Take(Packet packet, const std::vector<std::size_t>& slots, bool provider_eof) {
  for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i]->slot_ = slots[i];
  packet_ = std::move(packet);
  provider_eof_ = provider_eof;
  read_only_ = packet_.HasOption(kReadOnlyOption);
  disable_edits_ = packet_.HasOption(kDisableEditsOption);
  disable_inserts_ = packet_.HasOption(kDisableInsertsOption);
  disable_deletes_ = packet_.HasOption(kDisableDeletesOption);
}

void ClientDataSet::Open() {
  if (active_) return;
  bool no_reset = false;
  try {
    Packet packet;
    bool provider_eof = false;
    Fetch(&packet, &provider_eof, &no_reset);
    const std::vector<std::size_t> slots = Bind(packet);
    Take(std::move(packet), slots, provider_eof);
    change_count_ = 0;
    active_ = true;
    First();
  } catch (...) {
    Close();
    // The provider may hold state for this request; tell it to let go. When this request
    // fails, its error is the one that the caller sees.
    if (server_ && !no_reset) server_->GetRecords(provider_name_, 0, kRequestReset, std::string());
    throw;
  }
}

void ClientDataSet::Close() {
  active_ = false;
  packet_ = Packet();
  current_ = -1;
  bof_ = eof_ = true;
  change_count_ = 0;
  read_only_ = disable_edits_ = disable_inserts_ = disable_deletes_ = false;
}

// --- Browsing ---------------------------------------------------------------------------------

std::size_t ClientDataSet::RecordCount() const { return active_ ? packet_.table.RowCount() : 0; }

void ClientDataSet::SetCurrent(std::ptrdiff_t row) {
  const auto count = static_cast<std::ptrdiff_t>(RecordCount());
  current_ = count == 0 ? -1 : row < 0 ? 0 : row >= count ? count - 1 : row;
}

void ClientDataSet::MoveTo(std::size_t row) {
  CheckActive();
  SetCurrent(row > static_cast<std::size_t>(PTRDIFF_MAX) ? PTRDIFF_MAX : static_cast<std::ptrdiff_t>(row));
  bof_ = eof_ = IsEmpty();
}

void ClientDataSet::First() {
  CheckActive();
  SetCurrent(0);
  bof_ = true;
  eof_ = IsEmpty();
}

void ClientDataSet::Last() {
  CheckActive();
  SetCurrent(static_cast<std::ptrdiff_t>(RecordCount()) - 1);
  eof_ = true;
  bof_ = IsEmpty();
}

void ClientDataSet::Next() {
  CheckActive();
  if (current_ + 1 >= static_cast<std::ptrdiff_t>(RecordCount())) {
    eof_ = true;
    return;
  }
  ++current_;
  bof_ = eof_ = false;
}

void ClientDataSet::Prior() {
  CheckActive();
  if (current_ <= 0) {
    bof_ = true;
    return;
  }
  --current_;
  bof_ = eof_ = false;
}

// --- Local changes ----------------------------------------------------------------------------

void ClientDataSet::Delete() {
  CheckActive();
  if (IsEmpty()) return;
  CheckCanModify();
  if (disable_deletes_) Raise("Deletes are not allowed");
  packet_.table.RemoveRow(static_cast<std::size_t>(current_));
  ++change_count_;
  SetCurrent(current_);  // the next row, or the new last one
  bof_ = eof_ = IsEmpty();
}

void ClientDataSet::Append() {
  CheckCanModify();
  if (disable_inserts_) Raise("Inserts are not allowed");
  if (!packet_.table.AddRow(std::vector<Value>(packet_.table.slots().size()))) {
    Raise("Inserts are not allowed");  // cannot happen: every slot takes a null
  }
  ++change_count_;
  Last();
}

void ClientDataSet::Edit() {
  CheckCanModify();
  if (disable_edits_) Raise("Modifications are not allowed");
}

void ClientDataSet::Refresh() {
  CheckActive();
  if (change_count_ > 0) Raise("Must apply updates before refreshing data");
  Packet packet;
  bool provider_eof = false, no_reset = false;
  Fetch(&packet, &provider_eof, &no_reset);
  const std::vector<std::size_t> slots = Bind(packet);  // on failure the rows so far stay
  Take(std::move(packet), slots, provider_eof);
  SetCurrent(current_);
  bof_ = eof_ = IsEmpty();
}

// --- cds_VeldoUnit ----------------------------------------------------------------------------

VeldoUnitDataSet::VeldoUnitDataSet()
    : ClientDataSet("cds_VeldoUnit"),
      spdw01_(AddStringField("SPDW01", 6)),
      zhxs00_(AddFloatField("ZHXS00", 15)),
      spdw02_(AddStringField("SPDW02", 6)) {
  SetProviderName("dsp_VeldoUnit");
  SetPacketRecords(kAllRecords);
}

}  // namespace data
