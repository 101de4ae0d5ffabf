#pragma once
// The client data set: fetches a whole table from its provider through the record request,
// reads the data packet, binds its persistent fields by name and keeps the rows in memory for
// browsing. Changes stay local; nothing is sent back. Portable: no <windows.h>.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_set.h"
#include "data/fields.h"
#include "data/packet.h"
#include "data/record_request.h"

namespace data {

// An error of a data set; what() is the whole text in UTF-8, usually "name: message".
class DatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A packet that the reader could not decode; what() gives the reason.
class PacketError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Record request arguments.
constexpr std::int32_t kAllRecords = -1;
constexpr std::int32_t kRequestMetadata = 1;  // the column descriptions come with the rows
constexpr std::int32_t kRequestReset = 2;

class ClientDataSet : public DataSet {
 public:
  explicit ClientDataSet(std::string name);
  ~ClientDataSet() override;

  const std::string& Name() const { return name_; }
  const std::string& ProviderName() const { return provider_name_; }
  void SetProviderName(std::string provider) { provider_name_ = std::move(provider); }
  std::int32_t PacketRecords() const { return packet_records_; }
  void SetPacketRecords(std::int32_t records) { packet_records_ = records; }
  const std::string& CommandText() const { return command_text_; }
  // The provider's side of the connection; not owned, must outlive the data set's use of it.
  void SetRemoteServer(RecordRequest* server) { server_ = server; }
  // The decimal separator of the float fields' text (the system's, set by the user interface).
  char DecimalSeparator() const { return decimal_separator_; }
  void SetDecimalSeparator(char separator) { decimal_separator_ = separator; }

  // Persistent fields, in order. Add them while the data set is closed.
  StringField& AddStringField(std::string field_name, int size);
  FloatField& AddFloatField(std::string field_name, int precision);
  const std::vector<std::unique_ptr<Field>>& Fields() const { return fields_; }
  Field* FindField(std::string_view field_name) const;  // without regard to case
  Field& FieldByName(std::string_view field_name) const;  // throws "Field '%s' not found"

  // Fetches all rows with one record request and binds the fields. On any failure the data
  // set stays closed, the provider gets one reset request (unless the packet carried
  // NO_RESET_CALL), and the error is thrown: the reset request's own error when it fails.
  void Open();
  void Open(RecordRequest& server) {
    SetRemoteServer(&server);
    Open();
  }
  // Drops the rows; sends nothing to the provider.
  void Close();
  bool Active() const { return active_; }
  // False when the rows-sent value equalled the count asked for (more rows would follow).
  bool ProviderEof() const { return provider_eof_; }

  // The packet's columns (all of them, bound or not) and data-set properties.
  const std::vector<Column>& FieldDefs() const { return packet_.columns(); }
  const Packet& packet() const { return packet_; }

  // Browsing. The current row is an index into the rows in the provider's order.
  std::size_t RecordCount() const;
  bool IsEmpty() const { return RecordCount() == 0; }
  std::ptrdiff_t CurrentRow() const { return current_; }  // -1 when empty or closed
  void MoveTo(std::size_t row);  // a row past the end moves to the last row
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  void First() override;
  void Prior() override;
  void Next() override;  // on the last row sets Eof and adds nothing
  void Last() override;

  // Changes, local only. CanModify is false for a read-only packet.
  bool CanModify() const { return active_ && !read_only_; }
  std::size_t ChangeCount() const { return change_count_; }
  // Deletes the current row; nothing on an empty table.
  void Delete() override;
  // Appends a row of nulls and makes it current.
  void Append() override;
  // Checks that the current row may be edited (the data set holds no edit buffer).
  void Edit();
  // Fetches the rows again; refused while there are local changes.
  void Refresh() override;

 private:
  [[noreturn]] void Raise(const std::string& message) const;
  void CheckActive() const;
  void CheckCanModify() const;
  // Steps of the opening that may fail; sets *no_reset once the packet is known.
  void Fetch(Packet* packet, bool* provider_eof, bool* no_reset) const;
  // The slot of each field, in field order.
  std::vector<std::size_t> Bind(const Packet& packet) const;
  void Take(Packet packet, const std::vector<std::size_t>& slots, bool provider_eof);
  void SetCurrent(std::ptrdiff_t row);

  std::string name_;
  std::string provider_name_;
  std::int32_t packet_records_ = kAllRecords;
  std::string command_text_;
  RecordRequest* server_ = nullptr;
  char decimal_separator_ = '.';
  std::vector<std::unique_ptr<Field>> fields_;

  bool active_ = false;
  bool provider_eof_ = false;
  bool read_only_ = false;
  bool disable_edits_ = false;
  bool disable_inserts_ = false;
  bool disable_deletes_ = false;
  Packet packet_;
  std::ptrdiff_t current_ = -1;
  bool bof_ = true;
  bool eof_ = true;
  std::size_t change_count_ = 0;
};

// cds_VeldoUnit: the cigarette unit conversion table from the provider dsp_VeldoUnit.
class VeldoUnitDataSet : public ClientDataSet {
 public:
  VeldoUnitDataSet();
  StringField& SPDW01() const { return spdw01_; }  // base cigarette unit
  FloatField& ZHXS00() const { return zhxs00_; }   // conversion factor
  StringField& SPDW02() const { return spdw02_; }  // cigarette unit

 private:
  StringField& spdw01_;
  FloatField& zhxs00_;
  StringField& spdw02_;
};

}  // namespace data
