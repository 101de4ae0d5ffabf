#include "data/client_data_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "data/packet_writer.h"

namespace data {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Request {
  std::string provider;
  std::int32_t count, options;
  std::string command_text;
  bool operator==(const Request&) const = default;
};

const Request kOpenRequest{"dsp_VeldoUnit", -1, 1, ""};
const Request kResetRequest{"dsp_VeldoUnit", 0, 2, ""};

class ServerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A provider that answers from a script and remembers what it was asked.
class FakeServer : public RecordRequest {
 public:
  using Answer = std::function<RecordReply()>;

  FakeServer& Reply(RecordReply reply) {
    answers_.push_back([reply] { return reply; });
    return *this;
  }
  FakeServer& ReplyPacket(const Bytes& packet, std::int32_t records_sent = 3) {
    RecordReply r;
    r.kind = RecordReply::Kind::kPacket;
    r.packet = packet;
    r.records_sent = records_sent;
    return Reply(r);
  }
  FakeServer& Fail(const std::string& message) {
    answers_.push_back([message]() -> RecordReply { throw ServerError(message); });
    return *this;
  }

  RecordReply GetRecords(const std::string& provider, std::int32_t count, std::int32_t options,
                         const std::string& command_text) override {
    requests.push_back({provider, count, options, command_text});
    if (answers_.empty()) return RecordReply{};  // the reset's reply is ignored
    Answer a = answers_.front();
    answers_.pop_front();
    return a();
  }

  std::vector<Request> requests;

 private:
  std::deque<Answer> answers_;
};

const std::string kZhi = "\xd6\xa7";   // 支
const std::string kBao = "\xb0\xfc";   // 包
const std::string kJian = "\xbc\xfe";  // 件

Bytes UnitPacket(std::initializer_list<const char*> options = {}) {
  PacketWriter w({StringColumn("SPDW01", 6), FloatColumn("ZHXS00"), StringColumn("SPDW02", 6)});
  w.AddRow({kZhi, 1.0, kZhi});
  w.AddRow({kZhi, 20.0, kBao});
  w.AddRow({kZhi, 10000.0, kJian});
  for (const char* o : options) w.SetOption(o);
  return w.Finish();
}

// Runs Open and returns the error text, empty when it opened.
std::string OpenError(ClientDataSet& ds, FakeServer& server) {
  try {
    ds.Open(server);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return std::string();
}

std::vector<std::string> Row(const VeldoUnitDataSet& ds) {
  return {ds.SPDW01().DisplayText(), ds.ZHXS00().DisplayText(), ds.SPDW02().DisplayText()};
}

TEST(VeldoUnitDataSet, IsDefinedAsTheWindowNeedsIt) {
  const VeldoUnitDataSet ds;
  EXPECT_EQ("cds_VeldoUnit", ds.Name());
  EXPECT_EQ("dsp_VeldoUnit", ds.ProviderName());
  EXPECT_EQ(-1, ds.PacketRecords());
  EXPECT_EQ("", ds.CommandText());
  EXPECT_FALSE(ds.Active());
  ASSERT_EQ(3u, ds.Fields().size());
  const Field& spdw01 = *ds.Fields()[0];
  EXPECT_EQ("SPDW01", spdw01.FieldName());
  EXPECT_EQ("cds_VeldoUnitSPDW01", spdw01.Name());
  EXPECT_EQ(FieldType::kString, spdw01.DataType());
  EXPECT_EQ(6, spdw01.Size());
  EXPECT_FALSE(spdw01.IsRightAligned());
  EXPECT_EQ(&ds.ZHXS00(), ds.Fields()[1].get());
  EXPECT_EQ("cds_VeldoUnitZHXS00", ds.ZHXS00().Name());
  EXPECT_EQ(FieldType::kFloat, ds.ZHXS00().DataType());
  EXPECT_EQ(15, ds.ZHXS00().Precision());
  EXPECT_TRUE(ds.ZHXS00().IsRightAligned());
  EXPECT_EQ("SPDW02", ds.Fields()[2]->FieldName());
  EXPECT_EQ(6, ds.Fields()[2]->Size());
  EXPECT_EQ(&ds.SPDW01(), ds.FindField("spdw01"));
}

TEST(VeldoUnitDataSet, OpensWithOneRequestAndShowsTheFirstRow) {
  FakeServer server;
  server.ReplyPacket(UnitPacket());
  VeldoUnitDataSet ds;
  ds.Open(server);
  EXPECT_EQ(std::vector<Request>{kOpenRequest}, server.requests);
  EXPECT_TRUE(ds.Active());
  EXPECT_TRUE(ds.ProviderEof());
  EXPECT_EQ(3u, ds.RecordCount());
  EXPECT_EQ(0, ds.CurrentRow());
  EXPECT_EQ((std::vector<std::string>{kZhi, "1", kZhi}), Row(ds));
  EXPECT_EQ("20", ds.ZHXS00().DisplayTextAt(1));
  EXPECT_EQ("10000", ds.ZHXS00().DisplayTextAt(2));
  EXPECT_EQ(kJian, ds.SPDW02().AsStringAt(2));
  ds.Close();
  EXPECT_EQ(1u, server.requests.size()) << "closing sends nothing";
  EXPECT_EQ(0u, ds.RecordCount());
}

TEST(VeldoUnitDataSet, RowsSentEqualToTheCountLeavesTheTableOpenEnded) {
  FakeServer server;
  server.ReplyPacket(UnitPacket(), -1);
  VeldoUnitDataSet ds;
  ds.Open(server);
  EXPECT_FALSE(ds.ProviderEof());
  EXPECT_EQ(1u, server.requests.size());
}

// --- Binding ----------------------------------------------------------------------------------

struct BindCase {
  const char* name;
  std::vector<Column> columns;
  std::vector<std::vector<Value>> rows;
  std::string error;                           // empty: it opens
  std::vector<std::vector<std::string>> shown;  // SPDW01, ZHXS00, SPDW02 of each row
};

void PrintTo(const BindCase& c, std::ostream* os) { *os << c.name; }

std::vector<BindCase> BindCases() {
  const std::string wide_name(40, 'x');
  return {
      {"ThreeColumns", {StringColumn("SPDW01", 6), FloatColumn("ZHXS00"), StringColumn("SPDW02", 6)},
       {{kZhi, 0.5, kBao}}, "", {{kZhi, "0.5", kBao}}},
      {"MissingField", {StringColumn("SPDW01", 6), FloatColumn("ZHXS00")}, {}, "cds_VeldoUnit: Field 'SPDW02' not found", {}},
      {"NoColumnsNamesTheFirstField", {StringColumn("OTHER", 6)}, {}, "cds_VeldoUnit: Field 'SPDW01' not found", {}},
      {"WideStringColumn", {WideStringColumn("SPDW01", 6), FloatColumn("ZHXS00"), StringColumn("SPDW02", 6)}, {},
       "cds_VeldoUnit: Type mismatch for field 'SPDW01', expecting: String actual: WideString", {}},
      {"BcdColumn", {StringColumn("SPDW01", 6), BcdColumn("ZHXS00", 15, 4), StringColumn("SPDW02", 6)}, {},
       "cds_VeldoUnit: Type mismatch for field 'ZHXS00', expecting: Float actual: BCD", {}},
      {"IntegerColumn", {StringColumn("SPDW01", 6), IntegerColumn("ZHXS00"), StringColumn("SPDW02", 6)}, {},
       "cds_VeldoUnit: Type mismatch for field 'ZHXS00', expecting: Float actual: Integer", {}},
      {"MemoColumn", {StringColumn("SPDW01", 6), FloatColumn("ZHXS00"), BlobColumn("SPDW02", "Text")}, {},
       "cds_VeldoUnit: Type mismatch for field 'SPDW02', expecting: String actual: Memo", {}},
      {"MismatchBeforeALaterMissingField", {IntegerColumn("SPDW01"), FloatColumn("ZHXS00")}, {},
       "cds_VeldoUnit: Type mismatch for field 'SPDW01', expecting: String actual: Integer", {}},
      {"NamesInOtherCase", {StringColumn("spdw01", 6), FloatColumn("Zhxs00"), StringColumn("sPdW02", 6)},
       {{kZhi, 2.0, kBao}}, "", {{kZhi, "2", kBao}}},
      {"OtherColumnOrder", {StringColumn("SPDW02", 6), StringColumn("SPDW01", 6), FloatColumn("ZHXS00")},
       {{kBao, kZhi, 20.0}}, "", {{kZhi, "20", kBao}}},
      {"ExtraColumns",
       {IntegerColumn("ID"), StringColumn("SPDW01", 6), WideStringColumn("NOTE", 10), FloatColumn("ZHXS00"),
        StringColumn("SPDW02", 6), BcdColumn("PRICE", 10, 2)},
       {{std::int64_t{7}, kZhi, u"x", 20.0, kBao, Decimal{"1.5"}}}, "", {{kZhi, "20", kBao}}},
      {"MoneyColumn", {StringColumn("SPDW01", 6), FloatColumn("ZHXS00", true), StringColumn("SPDW02", 6)},
       {{kZhi, 0.25, kBao}}, "", {{kZhi, "0.25", kBao}}},
      {"FixedCharColumns", {FixedCharColumn("SPDW01", 6), FloatColumn("ZHXS00"), FixedCharColumn("SPDW02", 6)},
       {{kZhi + "    ", 1.0, kBao}}, "", {{kZhi + "    ", "1", kBao}}},
      {"WiderThanSixReadWhole", {StringColumn("SPDW01", 300), FloatColumn("ZHXS00"), StringColumn("SPDW02", 40)},
       {{std::string(300, 'a'), 1.0, wide_name}}, "", {{std::string(300, 'a'), "1", wide_name}}},
      {"Nulls", {StringColumn("SPDW01", 6), FloatColumn("ZHXS00"), StringColumn("SPDW02", 6)},
       {{Value{}, Value{}, Value{}}, {kZhi, Value{}, Value{}}}, "", {{"", "", ""}, {kZhi, "", ""}}},
      {"NoRows", {StringColumn("SPDW01", 6), FloatColumn("ZHXS00"), StringColumn("SPDW02", 6)}, {}, "", {}},
  };
}

class Binding : public ::testing::TestWithParam<BindCase> {};

TEST_P(Binding, OpensOrFailsWithTheMessage) {
  const BindCase& c = GetParam();
  PacketWriter w(c.columns);
  for (const auto& row : c.rows) ASSERT_TRUE(w.AddRow(row));
  FakeServer server;
  server.ReplyPacket(w.Finish());
  VeldoUnitDataSet ds;
  EXPECT_EQ(c.error, OpenError(ds, server));
  if (!c.error.empty()) {
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(0u, ds.RecordCount());
    EXPECT_EQ((std::vector<Request>{kOpenRequest, kResetRequest}), server.requests);
    return;
  }
  EXPECT_EQ(std::vector<Request>{kOpenRequest}, server.requests);
  ASSERT_EQ(c.shown.size(), ds.RecordCount());
  EXPECT_EQ(c.shown.empty() ? -1 : 0, ds.CurrentRow());
  for (std::size_t r = 0; r < c.shown.size(); ++r) {
    ds.MoveTo(r);
    EXPECT_EQ(c.shown[r], Row(ds)) << "row " << r;
  }
  EXPECT_EQ(c.columns.size(), ds.FieldDefs().size()) << "every column is kept";
}

INSTANTIATE_TEST_SUITE_P(Cases, Binding, ::testing::ValuesIn(BindCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Failures and the reset request -----------------------------------------------------------

TEST(OpenFailure, RepliesThatAreNoPacket) {
  struct Case { const char* what; RecordReply::Kind kind; Bytes packet; std::string error; };
  Bytes garbage(64, 0x55);
  Bytes truncated = UnitPacket();
  truncated.resize(truncated.size() - 1);
  const Case cases[] = {
      {"null", RecordReply::Kind::kNull, {}, "cds_VeldoUnit: Missing data provider or data packet"},
      {"not an array of bytes", RecordReply::Kind::kOther, {}, "Invalid data packet"},
      {"bytes that are no packet", RecordReply::Kind::kPacket, garbage,
       "Mismatch in datapacket: not a data packet: bad signature at offset 4"},
      {"truncated packet", RecordReply::Kind::kPacket, truncated, "Mismatch in datapacket: truncated value of SPDW02"},
  };
  for (const Case& c : cases) {
    RecordReply reply;
    reply.kind = c.kind;
    reply.packet = c.packet;
    FakeServer server;
    server.Reply(reply);
    VeldoUnitDataSet ds;
    const std::string error = OpenError(ds, server);
    EXPECT_EQ(0u, error.find(c.error)) << c.what << ": " << error;
    EXPECT_FALSE(ds.Active()) << c.what;
    EXPECT_EQ((std::vector<Request>{kOpenRequest, kResetRequest}), server.requests) << c.what;
  }
}

TEST(OpenFailure, DataSetErrorsAreDatabaseErrors) {
  FakeServer server;
  server.Reply(RecordReply{});
  VeldoUnitDataSet ds;
  EXPECT_THROW(ds.Open(server), DatabaseError);
}

TEST(OpenFailure, FailingRequestIsRaisedAfterTheReset) {
  FakeServer server;
  server.Fail("Unknown provider dsp_VeldoUnit");
  VeldoUnitDataSet ds;
  EXPECT_THROW(ds.Open(server), ServerError);
  server.requests.clear();
  server.Fail("Unknown provider dsp_VeldoUnit");
  EXPECT_EQ("Unknown provider dsp_VeldoUnit", OpenError(ds, server));
  EXPECT_EQ((std::vector<Request>{kOpenRequest, kResetRequest}), server.requests);
}

TEST(OpenFailure, FailingResetReplacesTheFirstError) {
  PacketWriter w({StringColumn("SPDW01", 6)});
  FakeServer server;
  server.ReplyPacket(w.Finish()).Fail("reset refused");
  VeldoUnitDataSet ds;
  EXPECT_EQ("reset refused", OpenError(ds, server));
  EXPECT_EQ(2u, server.requests.size());

  FakeServer both;
  both.Fail("request refused").Fail("reset refused");
  EXPECT_EQ("reset refused", OpenError(ds, both));
  EXPECT_FALSE(ds.Active());
}

TEST(OpenFailure, NoResetCallLeavesTheResetOut) {
  PacketWriter w({StringColumn("SPDW01", 6), FloatColumn("ZHXS00")});
  w.SetOption(kNoResetCallOption);
  FakeServer server;
  server.ReplyPacket(w.Finish());
  VeldoUnitDataSet ds;
  EXPECT_EQ("cds_VeldoUnit: Field 'SPDW02' not found", OpenError(ds, server));
  EXPECT_EQ(std::vector<Request>{kOpenRequest}, server.requests);
}

TEST(OpenFailure, NoResetCallSetToFalseStillResets) {
  PacketWriter w({StringColumn("SPDW01", 6)});
  w.AddProperty(Property::Boolean(std::string(kNoResetCallOption), false));
  FakeServer server;
  server.ReplyPacket(w.Finish());
  VeldoUnitDataSet ds;
  OpenError(ds, server);
  EXPECT_EQ((std::vector<Request>{kOpenRequest, kResetRequest}), server.requests);
}

TEST(OpenFailure, OpensAfterAFailedAttempt) {
  FakeServer server;
  server.Reply(RecordReply{}).Reply(RecordReply{}).ReplyPacket(UnitPacket());
  VeldoUnitDataSet ds;
  EXPECT_NE("", OpenError(ds, server));
  EXPECT_EQ("", OpenError(ds, server));
  EXPECT_EQ(3u, ds.RecordCount());
}

// --- Browsing and local changes ---------------------------------------------------------------

class OpenUnitTable : public ::testing::Test {
 protected:
  void Open(std::initializer_list<const char*> options = {}) {
    server_.ReplyPacket(UnitPacket(options));
    ds_.Open(server_);
  }
  std::string ErrorOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const DatabaseError& e) {
      return e.what();
    }
    return std::string();
  }
  FakeServer server_;
  VeldoUnitDataSet ds_;
};

TEST_F(OpenUnitTable, MovesWithinTheRows) {
  Open();
  ds_.Next();
  EXPECT_EQ(1, ds_.CurrentRow());
  ds_.Last();
  EXPECT_EQ(2, ds_.CurrentRow());
  EXPECT_TRUE(ds_.Eof());
  ds_.Next();
  EXPECT_EQ(2, ds_.CurrentRow()) << "Down on the last row adds nothing";
  EXPECT_EQ(3u, ds_.RecordCount());
  ds_.Prior();
  EXPECT_EQ(1, ds_.CurrentRow());
  ds_.First();
  EXPECT_TRUE(ds_.Bof());
  ds_.Prior();
  EXPECT_EQ(0, ds_.CurrentRow());
  ds_.MoveTo(99);
  EXPECT_EQ(2, ds_.CurrentRow());
  EXPECT_EQ(1u, server_.requests.size());
}

TEST_F(OpenUnitTable, DeletesTheCurrentRowLocally) {
  Open();
  ds_.MoveTo(1);
  ds_.Delete();
  EXPECT_EQ(2u, ds_.RecordCount());
  EXPECT_EQ(1, ds_.CurrentRow());
  EXPECT_EQ(kJian, ds_.SPDW02().DisplayText()) << "the next row becomes current";
  ds_.Delete();
  EXPECT_EQ(0, ds_.CurrentRow()) << "deleting the last row moves to the new last";
  ds_.Delete();
  EXPECT_EQ(-1, ds_.CurrentRow());
  EXPECT_TRUE(ds_.IsEmpty());
  EXPECT_TRUE(ds_.ZHXS00().IsNull()) << "an empty table's fields read as null";
  EXPECT_EQ("", ds_.SPDW01().DisplayText());
  ds_.Delete();  // nothing on an empty table
  EXPECT_EQ(3u, ds_.ChangeCount());
  EXPECT_EQ(1u, server_.requests.size()) << "nothing goes to the server";
  EXPECT_EQ("cds_VeldoUnit: Must apply updates before refreshing data", ErrorOf([&] { ds_.Refresh(); }));
}

TEST_F(OpenUnitTable, ReadOnlyPacketRefusesChanges) {
  Open({"READONLY"});
  EXPECT_FALSE(ds_.CanModify());
  for (auto f : {std::function<void()>([&] { ds_.Delete(); }), std::function<void()>([&] { ds_.Append(); }),
                 std::function<void()>([&] { ds_.Edit(); })}) {
    EXPECT_EQ("cds_VeldoUnit: Cannot modify a read-only dataset", ErrorOf(f));
  }
  EXPECT_EQ(3u, ds_.RecordCount());
}

TEST_F(OpenUnitTable, ProviderOptionsRefuseTheirChange) {
  Open({"DISABLE_DELETES", "DISABLE_INSERTS", "DISABLE_EDITS"});
  EXPECT_TRUE(ds_.CanModify());
  EXPECT_EQ("cds_VeldoUnit: Deletes are not allowed", ErrorOf([&] { ds_.Delete(); }));
  EXPECT_EQ("cds_VeldoUnit: Inserts are not allowed", ErrorOf([&] { ds_.Append(); }));
  EXPECT_EQ("cds_VeldoUnit: Modifications are not allowed", ErrorOf([&] { ds_.Edit(); }));
  EXPECT_EQ(3u, ds_.RecordCount());
}

TEST_F(OpenUnitTable, EachOptionAloneRefusesOnlyItsChange) {
  Open({"DISABLE_DELETES"});
  EXPECT_EQ("", ErrorOf([&] { ds_.Edit(); }));
  EXPECT_EQ("", ErrorOf([&] { ds_.Append(); }));
  EXPECT_EQ(4u, ds_.RecordCount());
  EXPECT_EQ(3, ds_.CurrentRow());
  EXPECT_EQ("", ds_.SPDW01().DisplayText()) << "an appended row is blank";
}

TEST_F(OpenUnitTable, RefreshFetchesAgain) {
  Open();
  ds_.MoveTo(2);
  server_.ReplyPacket(UnitPacket());
  ds_.Refresh();
  EXPECT_EQ((std::vector<Request>{kOpenRequest, kOpenRequest}), server_.requests);
  EXPECT_EQ(2, ds_.CurrentRow());
}

TEST(ClosedDataSet, RecordCommandsRaise) {
  VeldoUnitDataSet ds;
  const std::string closed = "cds_VeldoUnit: Cannot perform this operation on a closed dataset";
  for (auto f : {&ClientDataSet::First, &ClientDataSet::Prior, &ClientDataSet::Next, &ClientDataSet::Last,
                 &ClientDataSet::Refresh, &ClientDataSet::Append, &ClientDataSet::Delete}) {
    try {
      (ds.*f)();
      ADD_FAILURE() << "no error";
    } catch (const DatabaseError& e) {
      EXPECT_EQ(closed, e.what());
    }
  }
  EXPECT_THROW(ds.SPDW01().DisplayText(), DatabaseError);
}

// --- Display text -----------------------------------------------------------------------------

TEST(FormatFloatGeneral, LikeTheGeneralFormatWith15Digits) {
  struct Case { double value; const char* text; };
  const Case cases[] = {
      {0.5, "0.5"},
      {20, "20"},
      {1, "1"},
      {0, "0"},
      {-0.0, "0"},
      {-2.5, "-2.5"},
      {10000, "10000"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {123456789012345.0, "123456789012345"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E15"},
      {1234567890123456.0, "1.23456789012346E15"},
      {9999999999999999.0, "1E16"},
      {1.5e20, "1.5E20"},
      {-1.5e20, "-1.5E20"},
      {1e100, "1E100"},
      {0.0001, "0.0001"},
      {0.00012345, "0.00012345"},
      {0.00001, "1E-5"},
      {0.000015, "1.5E-5"},
      {1.23456789e-7, "1.23456789E-7"},
      {0.000099999999999999999, "0.0001"},
      {5e-324, "4.94065645841247E-324"},
      {1.7976931348623157e308, "1.79769313486232E308"},
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
      {std::nan(""), "NAN"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, FormatFloatGeneral(c.value, 15, '.')) << c.value;
}

TEST(FormatFloatGeneral, UsesTheGivenDecimalSeparator) {
  EXPECT_EQ("0,5", FormatFloatGeneral(0.5, 15, ','));
  EXPECT_EQ("1,5E20", FormatFloatGeneral(1.5e20, 15, ','));
  EXPECT_EQ("1234,25", FormatFloatGeneral(1234.25, 15, ','));
}

TEST(FloatField, DisplayTextUsesTheDataSetSeparator) {
  PacketWriter w({StringColumn("SPDW01", 6), FloatColumn("ZHXS00"), StringColumn("SPDW02", 6)});
  w.AddRow({kZhi, 0.05, kZhi});
  FakeServer server;
  server.ReplyPacket(w.Finish());
  VeldoUnitDataSet ds;
  ds.SetDecimalSeparator(',');
  ds.Open(server);
  EXPECT_EQ("0,05", ds.ZHXS00().DisplayText());
  EXPECT_DOUBLE_EQ(0.05, ds.ZHXS00().AsFloat());
}

}  // namespace
}  // namespace data
