#include "data/packet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/packet_reader.h"
#include "data/packet_writer.h"

namespace data {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes LoadSample(const std::string& name) {
  std::ifstream f(std::string(VELDO_SOURCE_DIR) + "/tests/data/samples/" + name, std::ios::binary);
  EXPECT_TRUE(f) << name;
  return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

Packet ReadOk(const Bytes& bytes) {
  Packet p;
  const ReadStatus status = ReadPacket(bytes, &p);
  EXPECT_TRUE(status.ok()) << status.message;
  return p;
}

std::string Hex(std::string_view s) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string Gbk(const char* hex) {
  std::string out;
  for (std::size_t i = 0; hex[i] && hex[i + 1]; i += 2) out += static_cast<char>(std::stoi(std::string(hex + i, 2), nullptr, 16));
  return out;
}

const std::string kZhi = Gbk("d6a7");   // 支
const std::string kBao = Gbk("b0fc");   // 包
const std::string kTiao = Gbk("ccf5");  // 条

// The unit table as our server writes it.
PacketWriter UnitTable() {
  PacketWriter w({StringColumn("SPDW01", 6), FloatColumn("ZHXS00"), StringColumn("SPDW02", 6)});
  EXPECT_TRUE(w.AddRow({kZhi, 1.0, kZhi}));
  EXPECT_TRUE(w.AddRow({kZhi, 20.0, kBao}));
  EXPECT_TRUE(w.AddRow({Value{}, 0.5, kTiao}));
  return w;
}

// --- Field types ------------------------------------------------------------------------------

TEST(FieldTypeOf, FromTypeWordSizeAndSubtype) {
  struct Case { std::uint16_t type_word, size; const char* subtype; const char* name; };
  const Case cases[] = {
      {0x0049, 1, "", "String"},         {0x0049, 2, "FixedChar", "FixedChar"},
      {0x0049, 1, "Guid", "Guid"},       {0x004A, 1, "", "WideString"},
      {0x0004, 8, "", "Float"},          {0x0004, 8, "Money", "Currency"},
      {0x0005, 12, "", "BCD"},           {0x0012, 11, "", "FMTBcd"},
      {0x0001, 1, "", "SmallInt"},       {0x0001, 2, "", "SmallInt"},
      {0x0001, 4, "", "Integer"},        {0x0001, 4, "Autoinc", "AutoInc"},
      {0x0001, 8, "", "LargeInt"},       {0x0002, 2, "", "Word"},
      {0x0003, 2, "", "Boolean"},        {0x0006, 4, "", "Date"},
      {0x0007, 4, "", "Time"},           {0x0008, 8, "", "DateTime"},
      {0x0011, 16, "Formatted", "TimeStamp"},
      {0x000B, 16, "", "Bytes"},         {0x004B, 2, "", "VarBytes"},
      {0x004B, 4, "", "Blob"},           {0x004B, 4, "Binary", "Blob"},
      {0x004B, 4, "Text", "Memo"},       {0x004B, 4, "WideText", "Memo"},
      {0x004B, 4, "Graphics", "Graphic"}, {0x004B, 4, "Formatted", "FmtMemo"},
      {0x004B, 4, "Ole", "ParadoxOle"},  {0x004B, 4, "dBASEOle", "dBaseOle"},
      {0x004B, 4, "TypedBinary", "TypedBinary"},
      {0x010C, 2, "", "ADT"},            {0x000D, 2, "", "Array"},
      {0x050E, 4, "", "DataSet"},        {0x000F, 4, "", "Reference"},
      {0x0000, 0, "", "Unknown"},        {0x0010, 4, "", "Unknown"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.name, FieldTypeName(FieldTypeOf(c.type_word, c.size, c.subtype)))
        << std::hex << c.type_word << " size " << c.size << " " << c.subtype;
  }
}

TEST(FieldTypeName, EveryPlatformNameInOrder) {
  const char* names[] = {"Unknown", "String", "SmallInt", "Integer", "Word", "Boolean", "Float", "Currency",
                         "BCD", "Date", "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo",
                         "Graphic", "FmtMemo", "ParadoxOle", "dBaseOle", "TypedBinary", "Cursor", "FixedChar",
                         "WideString", "LargeInt", "ADT", "Array", "Reference", "DataSet", "OraBlob",
                         "OraClob", "Variant", "Interface", "Dispatch", "Guid"};
  for (std::size_t i = 0; i < std::size(names); ++i) {
    EXPECT_EQ(names[i], FieldTypeName(static_cast<FieldType>(i)));
  }
}

// --- Options ----------------------------------------------------------------------------------

TEST(PacketOptions, SetOnlyWhenPresentWithANonZeroIntegerOrBoolean) {
  Property zero_bool = Property::Boolean("DISABLE_DELETES", false);
  Property true_bool = Property::Boolean("DISABLE_DELETES", true);
  Property minus_one = true_bool;
  minus_one.value = {0xFF, 0xFF};
  Property int_one = Property::Int32("DISABLE_DELETES", 1);
  Property string_one = Property::ZString("DISABLE_DELETES", "1");
  Property other_case = Property::Boolean("disable_deletes", true);
  struct Case { const char* what; std::vector<Property> properties; bool set; };
  const Case cases[] = {
      {"absent", {}, false},
      {"false", {zero_bool}, false},
      {"true 01 00", {true_bool}, true},
      {"true FF FF", {minus_one}, true},
      {"integer 1", {int_one}, true},
      {"a string", {string_one}, false},
      {"name in other case", {other_case}, false},
  };
  for (const Case& c : cases) {
    Packet p;
    p.properties = c.properties;
    EXPECT_EQ(c.set, p.HasOption(kDisableDeletesOption)) << c.what;
  }
}

// --- Writer and reader together ---------------------------------------------------------------

TEST(PacketRoundTrip, UnitTable) {
  PacketWriter w = UnitTable();
  w.SetOption(kNoResetCallOption).SetOption(kDisableDeletesOption);
  const Bytes bytes = w.Finish();
  const Packet p = ReadOk(bytes);

  EXPECT_EQ(1u, p.version);
  ASSERT_EQ(3u, p.columns().size());
  EXPECT_EQ("SPDW01", p.columns()[0].name);
  EXPECT_EQ(FieldType::kString, p.columns()[0].Type());
  EXPECT_EQ(6, p.columns()[0].Width());
  EXPECT_EQ(FieldType::kFloat, p.columns()[1].Type());
  EXPECT_EQ(FieldType::kString, p.columns()[2].Type());
  EXPECT_TRUE(p.HasOption(kNoResetCallOption));
  EXPECT_TRUE(p.HasOption(kDisableDeletesOption));
  EXPECT_FALSE(p.HasOption(kReadOnlyOption));

  ASSERT_EQ(3u, p.table.RowCount());
  EXPECT_EQ(Value(kZhi), p.table.Get(0, 0));
  EXPECT_EQ(Value(20.0), p.table.Get(1, 1));
  EXPECT_EQ(Value(kBao), p.table.Get(1, 2));
  EXPECT_TRUE(p.table.IsNull(2, 0));
  EXPECT_EQ(Value(std::monostate{}), p.table.Get(2, 0));
  EXPECT_EQ(Value(0.5), p.table.Get(2, 1));

  EXPECT_EQ(bytes, WritePacket(p)) << "read and written again, the bytes stay the same";
}

TEST(PacketRoundTrip, HeaderAsTheEngineWritesIt) {
  const Bytes bytes = UnitTable().Finish();
  ASSERT_GE(bytes.size(), 24u);
  const Bytes head(bytes.begin(), bytes.begin() + 24);
  const std::size_t metadata_end = 24 + 3 * (1 + 6 + 2 + 2 + 2 + 2) + 2 * (1 + 5 + 2 + 2 + 2) + 2;
  const Bytes expected = {0x96, 0x19, 0xE0, 0xBD, 1, 0, 0, 0, 24, 0, 0, 0, 3, 0, 3, 0, 0, 0,
                          3,    0,    0,    0,    static_cast<std::uint8_t>(metadata_end), 0};
  EXPECT_EQ(expected, head);
}

TEST(PacketRoundTrip, EveryColumnKindWeWrite) {
  Column adt;
  adt.name = "Name";
  adt.type_word = 0x010C;
  adt.children = {StringColumn("Last", 20), StringColumn("First", 20)};
  Column nested;
  nested.name = "Photos";
  nested.type_word = 0x050E;
  nested.children = {IntegerColumn("ID"), BlobColumn("Photo")};
  nested.table_properties = {Property::UInt32Array("PRIMARY_KEY", {1})};

  PacketWriter w({WideStringColumn("Wide", 10), BcdColumn("Amount", 19, 4), IntegerColumn("Small", 2),
                  IntegerColumn("Int"), IntegerColumn("Large", 8), BooleanColumn("Flag"),
                  FloatColumn("Money", true), DateColumn("Day"), DateTimeColumn("When"),
                  FixedCharColumn("Code", 4), BlobColumn("Memo", "Text"), BlobColumn("WideMemo", "WideText"),
                  StringColumn("Long", 300), adt, nested});
  Table photos(nested.children);
  ASSERT_TRUE(photos.AddRow({std::int64_t{7}, std::string("\xff\xd8\xff\xe0", 4)}));
  ASSERT_TRUE(photos.AddRow({std::int64_t{8}, Value{}}));
  const std::string long_text(300, 'x');
  ASSERT_TRUE(w.AddRow({u"宽字符", Decimal{"-1249.95"}, std::int64_t{-32768}, std::int64_t{2147483647},
                        std::int64_t{-1} << 40, true, 12.25, std::int64_t{734142}, 63110448000000.0,
                        std::string("AB  "), std::string("memo"), u"备注", long_text, NotChanged{},
                        std::string("Doe"), Value{}, NestedRows{&photos}}));
  ASSERT_TRUE(w.AddRow(std::vector<Value>(17)));  // all null
  const Bytes bytes = w.Finish();
  const Packet p = ReadOk(bytes);

  EXPECT_EQ(2u, p.version) << "ADT and nested tables need version 2";
  ASSERT_EQ(17u, p.table.slots().size());
  EXPECT_EQ("Name.Last", p.table.slots()[14].name);
  ASSERT_EQ(2u, p.table.RowCount());
  const std::vector<Value> expected = {
      u"宽字符", Decimal{"-1249.9500"}, std::int64_t{-32768}, std::int64_t{2147483647}, std::int64_t{-1} << 40,
      true, 12.25, std::int64_t{734142}, 63110448000000.0, std::string("AB  "), std::string("memo"), u"备注",
      long_text, NotChanged{}, std::string("Doe"), Value{}};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], p.table.Get(0, i)) << "slot " << i;
  const Value v = p.table.Get(0, 16);
  ASSERT_TRUE(std::holds_alternative<NestedRows>(v));
  const Table& got = *std::get<NestedRows>(v).table;
  ASSERT_EQ(2u, got.RowCount());
  EXPECT_EQ(Value(std::int64_t{8}), got.Get(1, 0));
  EXPECT_EQ(Value(std::string("\xff\xd8\xff\xe0", 4)), got.Get(0, 1));
  EXPECT_TRUE(got.IsNull(1, 1));
  ASSERT_EQ(1u, p.columns()[14].table_properties.size());
  for (std::size_t i = 0; i < 17; ++i) EXPECT_TRUE(p.table.IsNull(1, i)) << "slot " << i;
  EXPECT_EQ(bytes, WritePacket(p));
}

TEST(PacketRoundTrip, BigMetadataMovesTheLengthOutOfTheHeader) {
  PacketWriter w({IntegerColumn("ID")});
  w.AddProperty(Property::UInt32Array("CHANGE_LOG", std::vector<std::uint32_t>(20000, 4)));
  ASSERT_TRUE(w.AddRow({std::int64_t{1}}));
  const Bytes bytes = w.Finish();
  EXPECT_EQ(1, bytes[18]);
  EXPECT_EQ(0, bytes[22] | bytes[23]);
  const Packet p = ReadOk(bytes);
  EXPECT_EQ(Value(std::int64_t{1}), p.table.Get(0, 0));
}

TEST(TableAddRow, RefusesValuesThatDoNotFitAndAddsNothing) {
  struct Case { const char* what; Column column; Value value; };
  const Case cases[] = {
      {"string longer than a 1-byte prefix", StringColumn("S", 6), std::string(256, 'x')},
      {"double into a string", StringColumn("S", 6), 1.0},
      {"string into a float", FloatColumn("F"), std::string("1")},
      {"too big for SmallInt", IntegerColumn("I", 2), std::int64_t{40000}},
      {"BCD with more digits than its precision", BcdColumn("B", 5, 2), Decimal{"1234.5"}},
      {"BCD losing decimals", BcdColumn("B", 10, 2), Decimal{"1.234"}},
      {"BCD that is no number", BcdColumn("B", 10, 2), Decimal{"1,5"}},
      {"UTF-16 into an 8-bit string", StringColumn("S", 6), u"x"},
  };
  for (const Case& c : cases) {
    Table t({c.column});
    EXPECT_FALSE(t.AddRow({c.value})) << c.what;
    EXPECT_EQ(0u, t.RowCount()) << c.what;
  }
  Table t({StringColumn("S", 6)});
  EXPECT_FALSE(t.AddRow({})) << "one value per slot";
}

// --- Malformed packets ------------------------------------------------------------------------

// Builds packet bytes by hand, so that the reader is tested against more than our writer.
class Builder {
 public:
  Builder& U8(std::uint64_t v) { return Int(v, 1); }
  Builder& U16(std::uint64_t v) { return Int(v, 2); }
  Builder& U32(std::uint64_t v) { return Int(v, 4); }
  Builder& Int(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) b_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
  }
  Builder& Str(std::string_view s) {
    U8(s.size());
    b_.insert(b_.end(), s.begin(), s.end());
    return *this;
  }
  Builder& Raw(std::string_view s) {
    b_.insert(b_.end(), s.begin(), s.end());
    return *this;
  }
  // A header; the metadata length is filled in by EndMetadata.
  Builder& Header(std::uint16_t descriptors, std::uint32_t records, std::uint32_t version = 1) {
    return Raw("\x96\x19\xE0\xBD").U32(version).U32(24).U16(descriptors).U32(records).U32(3).U16(0);
  }
  Builder& Column(std::string_view name, std::uint16_t size, std::uint16_t type, std::uint16_t properties = 0) {
    return Str(name).U16(size).U16(type).U16(0).U16(properties);
  }
  Builder& EndMetadata() {
    b_[22] = static_cast<std::uint8_t>(b_.size());
    b_[23] = static_cast<std::uint8_t>(b_.size() >> 8);
    return *this;
  }
  Bytes bytes() const { return b_; }

 private:
  Bytes b_;
};

// One 8-bit string column "S" (WIDTH 6) and `records` records.
Builder StringPacket(std::uint32_t records) {
  Builder b;
  b.Header(1, records).Column("S", 1, 0x49, 1).Str("WIDTH").U16(2).U16(2).U16(6).U16(0).EndMetadata();
  return b;
}

TEST(PacketReader, HandBuiltPacketReads) {
  const Packet p = ReadOk(StringPacket(2).U8(0).U8(0).Str("abc").U8(0).U8(1).bytes());
  ASSERT_EQ(2u, p.table.RowCount());
  EXPECT_EQ(Value(std::string("abc")), p.table.Get(0, 0));
  EXPECT_TRUE(p.table.IsNull(1, 0));
}

TEST(PacketReader, SkipsSupersededAndDeletedRows) {
  Builder b = StringPacket(6);
  const std::uint8_t statuses[] = {0, 1, 2, 4, 6, 8};
  for (std::uint8_t s : statuses) b.U8(s).U8(0).Str(std::string(1, static_cast<char>('0' + s)));
  const Packet p = ReadOk(b.bytes());
  ASSERT_EQ(3u, p.table.RowCount());
  EXPECT_EQ(Value(std::string("0")), p.table.Get(0, 0));
  EXPECT_EQ(Value(std::string("4")), p.table.Get(1, 0));
  EXPECT_EQ(Value(std::string("8")), p.table.Get(2, 0));
}

struct BadPacket {
  const char* name;
  Bytes bytes;
  ReadError error;
  const char* message;  // a part of the reason
};

void PrintTo(const BadPacket& b, std::ostream* os) { *os << b.name; }

std::vector<BadPacket> BadPackets() {
  std::vector<BadPacket> cases;
  cases.push_back({"Empty", {}, ReadError::kTruncated, "truncated header"});
  cases.push_back({"NotAPacket", Builder().Raw("PK\x03\x04").U32(1).U32(24).U16(0).U32(0).U32(3).U16(24).bytes(),
                   ReadError::kBadSignature, "bad signature"});
  cases.push_back({"Version3", Builder().Header(0, 0, 3).U16(0).EndMetadata().bytes(), ReadError::kBadVersion,
                   "unknown version 3"});
  {
    Bytes b = Builder().Header(0, 0).U16(0).EndMetadata().bytes();
    b[8] = 25;
    cases.push_back({"HeaderSize25", b, ReadError::kBadHeader, "header size 25"});
  }
  cases.push_back({"HugeColumnCount", Builder().Header(0xFFFF, 0).U16(0).bytes(), ReadError::kTruncated,
                   "65535 column descriptions"});
  cases.push_back({"HugeRecordCount", StringPacket(0xFFFFFFFF).U8(0).U8(0).Str("a").bytes(), ReadError::kTruncated,
                   "4294967295 records"});
  cases.push_back({"ColumnNamePastEnd", Builder().Header(1, 0).U8(200).Raw("abcdefghi").bytes(),
                   ReadError::kTruncated, "column name"});
  cases.push_back({"TooManyChildren",
                   Builder().Header(2, 0, 2).Column("A", 5, 0x010C).Column("B", 4, 1).U16(0).EndMetadata().bytes(),
                   ReadError::kBadColumn, "column A has 5 children but only 1 columns remain"});
  cases.push_back({"TypeCode16", Builder().Header(1, 0).Column("X", 4, 0x10).U16(0).EndMetadata().bytes(),
                   ReadError::kBadColumn, "unknown type code 16"});
  cases.push_back({"TypeCode63", Builder().Header(1, 0).Column("X", 4, 0x3F).U16(0).EndMetadata().bytes(),
                   ReadError::kBadColumn, "unknown type code 63"});
  cases.push_back({"ThreeByteInteger", Builder().Header(1, 0).Column("X", 3, 1).U16(0).EndMetadata().bytes(),
                   ReadError::kBadColumn, "integer of 3 bytes"});
  cases.push_back({"ThreeBytePrefix", Builder().Header(1, 0).Column("X", 3, 0x49).U16(0).EndMetadata().bytes(),
                   ReadError::kBadColumn, "length prefix of 3 bytes"});
  cases.push_back({"SixByteFloat", Builder().Header(1, 0).Column("X", 6, 4).U16(0).EndMetadata().bytes(),
                   ReadError::kBadColumn, "float of 6 bytes"});
  cases.push_back({"PropertyArrayPastEnd",
                   Builder().Header(0, 0).U16(1).Str("CHANGE_LOG").U16(4).U16(0x82).U32(0xFFFFFFFF).U32(1).bytes(),
                   ReadError::kTruncated, "value of property CHANGE_LOG"});
  cases.push_back({"PropertyPrefixOf3",
                   Builder().Header(0, 0).U16(1).Str("SUBTYPE").U16(3).U16(0x49).Raw("\x01\x00\x00X").bytes(),
                   ReadError::kBadProperty, "length prefix of 3 bytes in property SUBTYPE"});
  cases.push_back({"HugePropertyCount", Builder().Header(0, 0).U16(0xFFFF).Str("A").bytes(), ReadError::kTruncated,
                   "property list"});
  cases.push_back({"StringPastEnd", StringPacket(1).U8(0).U8(0).U8(10).Raw("abc").bytes(), ReadError::kTruncated,
                   "value of S"});
  cases.push_back({"MissingBitmap", StringPacket(2).U8(0).U8(0).Str("a").U8(0).bytes(), ReadError::kTruncated, "null bitmap"});
  cases.push_back({"TrailingByte", StringPacket(1).U8(0).U8(0).Str("a").U8(0).bytes(), ReadError::kTrailingBytes,
                   "1 bytes after the last record"});
  {
    Bytes b = StringPacket(0).bytes();
    b[22] += 1;
    cases.push_back({"MetadataLengthOff", b, ReadError::kHeaderMismatch, "but the header says"});
  }
  {
    // Eighteen ADT columns, each the only child of the one before.
    Builder b;
    b.Header(18, 0, 2);
    for (int i = 0; i < 17; ++i) b.Column("A", 1, 0x010C);
    b.Column("X", 4, 1).U16(0).EndMetadata();
    cases.push_back({"NestedTooDeep", b.bytes(), ReadError::kTooLarge, "nested more than 16 deep"});
  }
  cases.push_back({"NestedRowCountPastEnd",
                   Builder().Header(2, 1, 2).Column("N", 1, 0x050E).Column("ID", 4, 1).U16(0).U16(0).EndMetadata()
                       .U8(0).U8(0).U32(0x40000000).U8(0).bytes(),
                   ReadError::kTruncated, "1073741824 records"});
  return cases;
}

class PacketReaderRejects : public ::testing::TestWithParam<BadPacket> {};

TEST_P(PacketReaderRejects, WithTheReason) {
  Packet p;
  const ReadStatus status = ReadPacket(GetParam().bytes, &p);
  EXPECT_EQ(GetParam().error, status.error) << status.message;
  EXPECT_NE(std::string::npos, status.message.find(GetParam().message)) << status.message;
  EXPECT_EQ(0u, p.table.RowCount());
  EXPECT_TRUE(p.columns().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, PacketReaderRejects, ::testing::ValuesIn(BadPackets()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PacketReader, EveryProperPrefixIsTruncated) {
  PacketWriter w = UnitTable();
  w.SetOption(kReadOnlyOption);
  std::vector<Bytes> packets = {w.Finish()};
  for (const char* name : {"dx_departaments.cds", "zh_client_part_set.cds", "md7_workers.cds",
                           "t2ti_contrato_historicofaturamento.cds", "dx_tasks.cds", "dx_dxcustomers.cds"}) {
    packets.push_back(LoadSample(name));
  }
  for (const Bytes& full : packets) {
    ASSERT_TRUE(ReadPacket(full, &*std::make_unique<Packet>()).ok());
    for (std::size_t n = 0; n < full.size(); ++n) {
      const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
      Packet p;
      const ReadStatus status = ReadPacket(prefix, &p);
      ASSERT_EQ(ReadError::kTruncated, status.error) << "prefix of " << n << " of " << full.size() << " bytes: "
                                                      << status.message;
    }
  }
}

TEST(PacketReader, LimitsTheValuesHeldInMemory) {
  const Bytes bytes = UnitTable().Finish();  // 3 rows of 3 values
  Packet p;
  EXPECT_TRUE(ReadPacket(bytes, &p, ReadLimits{9}).ok());
  const ReadStatus status = ReadPacket(bytes, &p, ReadLimits{8});
  EXPECT_EQ(ReadError::kTooLarge, status.error);
  EXPECT_NE(std::string::npos, status.message.find("more than 8 values")) << status.message;
}

TEST(PacketReader, NestedValuesShareTheirDescriptionAndCountAgainstTheLimit) {
  // A nested column with a long description, and many rows whose nested tables are empty:
  // each value must not cost a copy of the description.
  Column nested;
  nested.name = "N";
  nested.type_word = 0x050E;
  for (int i = 0; i < 50; ++i) {
    Column c = StringColumn("C" + std::to_string(i), 20);
    c.properties.push_back(Property::ZString("ORIGIN", std::string(200, 'o')));
    nested.children.push_back(c);
  }
  PacketWriter w({nested});
  const Table empty(nested.children);
  for (int r = 0; r < 1000; ++r) ASSERT_TRUE(w.AddRow({NestedRows{&empty}}));
  const Bytes bytes = w.Finish();

  const Packet p = ReadOk(bytes);
  ASSERT_EQ(1000u, p.table.RowCount());
  EXPECT_EQ(std::get<NestedRows>(p.table.Get(0, 0)).table->schema(),
            std::get<NestedRows>(p.table.Get(999, 0)).table->schema());

  Packet limited;
  EXPECT_EQ(ReadError::kTooLarge, ReadPacket(bytes, &limited, ReadLimits{1000}).error)
      << "a nested table weighs more than one value";
}

// --- The engine's own packets -----------------------------------------------------------------

TEST(Samples, DecodeToTheLastByteWithTheirCounts) {
  struct Case { const char* file; std::uint32_t version; std::size_t slots, rows; };
  const Case cases[] = {
      {"dx_departaments.cds", 1, 2, 6},     {"dx_dxcustomers.cds", 1, 10, 21},
      {"dx_foods.cds", 1, 11, 77},          {"dx_houseprice.cds", 1, 3, 13675},
      {"dx_moviestars.cds", 2, 12, 265},    {"dx_tasks.cds", 1, 13, 50},
      {"dx_toc_employees.cds", 1, 18, 9},   {"md7_workers.cds", 1, 6, 10},
      {"t2ti_contrato_historicofaturamento.cds", 2, 5, 0},
      {"zh_client_part_set.cds", 1, 9, 1},  // the original image of the edited row is dropped
  };
  for (const Case& c : cases) {
    const Packet p = ReadOk(LoadSample(c.file));
    EXPECT_EQ(c.version, p.version) << c.file;
    EXPECT_EQ(c.slots, p.table.slots().size()) << c.file;
    EXPECT_EQ(c.rows, p.table.RowCount()) << c.file;
  }
}

TEST(Samples, WrittenAgainTheyReadTheSame) {
  for (const char* file : {"dx_departaments.cds", "dx_dxcustomers.cds", "dx_foods.cds", "dx_moviestars.cds",
                           "dx_tasks.cds", "dx_toc_employees.cds", "md7_workers.cds", "zh_client_part_set.cds"}) {
    const Packet first = ReadOk(LoadSample(file));
    const Packet second = ReadOk(WritePacket(first));
    ASSERT_EQ(first.table.RowCount(), second.table.RowCount()) << file;
    for (std::size_t r = 0; r < first.table.RowCount(); ++r) {
      for (std::size_t s = 0; s < first.table.slots().size(); ++s) {
        const Value a = first.table.Get(r, s), b = second.table.Get(r, s);
        if (std::holds_alternative<NestedRows>(a)) {
          EXPECT_EQ(std::get<NestedRows>(a).table->RowCount(), std::get<NestedRows>(b).table->RowCount());
        } else {
          EXPECT_EQ(a, b) << file << " row " << r << " slot " << s;
        }
      }
    }
  }
}

TEST(Samples, Departaments) {
  const Packet p = ReadOk(LoadSample("dx_departaments.cds"));
  EXPECT_EQ(FieldType::kAutoInc, p.columns()[0].Type());
  EXPECT_EQ(kAttrReadOnly, p.columns()[0].attributes);
  EXPECT_EQ(200, p.columns()[1].Width());
  const char16_t* names[] = {u"R&D", u"QA", u"Documentation", u"Support", u"Marketing", u"Management"};
  for (std::size_t r = 0; r < 6; ++r) {
    EXPECT_EQ(Value(static_cast<std::int64_t>(r + 1)), p.table.Get(r, 0));
    EXPECT_EQ(Value(std::u16string(names[r])), p.table.Get(r, 1));
  }
  ASSERT_NE(nullptr, FindProperty(p.properties, "PRIMARY_KEY"));
  EXPECT_EQ(std::vector<std::int64_t>{1}, FindProperty(p.properties, "DEFAULT_ORDER")->AsIntegers());
}

TEST(Samples, ChineseEditedPacketKeepsTheCurrentVersion) {
  const Packet p = ReadOk(LoadSample("zh_client_part_set.cds"));
  EXPECT_EQ((std::vector<std::int64_t>{2, 1, 8}), FindProperty(p.properties, "CHANGE_LOG")->AsIntegers());
  EXPECT_EQ(FieldType::kFixedChar, p.columns()[6].Type());
  EXPECT_EQ(Value(Gbk("cbc4b4a8b8c7b4efb6fbd0c5cfa2bcbccaf5")), p.table.Get(0, 0));  // 四川盖达尔信息技术
  EXPECT_EQ(Value(std::string("SCGUIDER")), p.table.Get(0, 1));
  EXPECT_EQ(Value(Gbk("c6e4cbfb")), p.table.Get(0, 6)) << "the edit has no padding";  // 其他
  EXPECT_EQ(Value(Gbk("b7f1")), p.table.Get(0, 7));                                   // 否
  EXPECT_EQ(Value(std::string("GHKJH")), p.table.Get(0, 8));
}

TEST(Samples, CustomersWithBcdBooleanAndTimestamp) {
  const Packet p = ReadOk(LoadSample("dx_dxcustomers.cds"));
  struct Row { const char16_t* first; bool customer; const char* amount; const char* raw; std::int64_t copies; };
  const Row rows[] = {
      {u"Alex", true, "1249.9500", "200400000000000000000000000012499500", 5},
      {u"Jane", false, "649.9500", "200400000000000000000000000006499500", 5},
      {u"Sam", true, "359.9600", "200400000000000000000000000003599600", 4},
  };
  for (std::size_t r = 0; r < 3; ++r) {
    EXPECT_EQ(Value(std::u16string(rows[r].first)), p.table.Get(r, 1));
    EXPECT_EQ(Value(rows[r].customer), p.table.Get(r, 6));
    EXPECT_EQ(Value(63110448000000.0), p.table.Get(r, 7));
    EXPECT_EQ(Value(Decimal{rows[r].amount}), p.table.Get(r, 8));
    EXPECT_EQ(rows[r].raw, Hex(p.table.Raw(r, 8)));
    EXPECT_EQ(Value(rows[r].copies), p.table.Get(r, 9));
  }
  EXPECT_EQ(Value(std::u16string(u"Hillsborough and Associates")), p.table.Get(0, 3));
  EXPECT_EQ(32, p.columns()[8].Width());
}

TEST(Samples, FoodsBcdValuesAreLongerThanTheirDescriptor) {
  const Packet p = ReadOk(LoadSample("dx_foods.cds"));
  EXPECT_EQ(12, p.columns()[5].size);
  EXPECT_EQ(Value(Decimal{"18.0000"}), p.table.Get(0, 5));
  EXPECT_EQ("130400000000000001800000130400000000", Hex(p.table.Raw(0, 5)));
}

TEST(Samples, MovieStarsNestedTable) {
  const Packet p = ReadOk(LoadSample("dx_moviestars.cds"));
  EXPECT_EQ(Value(std::int64_t{5}), p.table.Get(0, 0));
  EXPECT_EQ(Value(std::u16string(u"Marlon")), p.table.Get(0, 1));
  EXPECT_EQ(Value(std::u16string(u"Brando")), p.table.Get(0, 2));
  EXPECT_TRUE(p.table.IsNull(0, 3));
  EXPECT_EQ(Value(true), p.table.Get(0, 9));
  EXPECT_EQ("ffff", Hex(p.table.Raw(0, 9)));
  const Column& nested = p.columns()[11];
  EXPECT_EQ(0x050E, nested.type_word);
  EXPECT_EQ(4u, nested.children.size());
  EXPECT_NE(nullptr, data::FindProperty(nested.table_properties, "PRIMARY_KEY"));
  EXPECT_EQ((std::vector<std::int64_t>{12, 1, 2}), FindProperty(p.properties, "MD_FIELDLINKS")->AsIntegers());

  const Table& photos = *std::get<NestedRows>(p.table.Get(0, 11)).table;
  ASSERT_EQ(1u, photos.RowCount());
  EXPECT_EQ(Value(std::int64_t{1}), photos.Get(0, 0));
  EXPECT_EQ(Value(std::int64_t{5}), photos.Get(0, 1));
  const std::string_view photo = photos.Raw(0, 2);
  EXPECT_EQ(10711u, photo.size());
  EXPECT_EQ("ffd8ffe000104a4649460001", Hex(photo.substr(0, 12)));
  std::size_t total = 0;
  for (std::size_t r = 0; r < p.table.RowCount(); ++r) {
    total += std::get<NestedRows>(p.table.Get(r, 11)).table->RowCount();
  }
  EXPECT_EQ(90u, total);
}

TEST(Samples, HousePriceWithMetadataBeyond64KiB) {
  const Packet p = ReadOk(LoadSample("dx_houseprice.cds"));
  EXPECT_EQ(41025u, FindProperty(p.properties, "CHANGE_LOG")->count);
  EXPECT_EQ(Value(std::int64_t{1}), p.table.Get(0, 0));
  EXPECT_EQ(Value(std::int64_t{734142}), p.table.Get(0, 1));  // 2011-01-05
  EXPECT_EQ(Value(774.8), p.table.Get(0, 2));
}

TEST(Samples, TypesOfTheOtherFiles) {
  const Packet tasks = ReadOk(LoadSample("dx_tasks.cds"));
  EXPECT_EQ(FieldType::kCurrency, tasks.columns()[9].Type());
  EXPECT_EQ(FieldType::kString, tasks.columns()[11].Type());
  const Packet workers = ReadOk(LoadSample("md7_workers.cds"));
  EXPECT_EQ(FieldType::kSmallInt, workers.columns()[2].Type());
  EXPECT_EQ(FieldType::kDate, workers.columns()[5].Type());
  const Packet employees = ReadOk(LoadSample("dx_toc_employees.cds"));
  EXPECT_EQ(FieldType::kMemo, employees.columns()[12].Type());
  EXPECT_EQ(FieldType::kBlob, employees.columns()[17].Type());
  const Packet contract = ReadOk(LoadSample("t2ti_contrato_historicofaturamento.cds"));
  const Column& valor = contract.columns()[3];
  EXPECT_EQ(FieldType::kFmtBcd, valor.Type());
  EXPECT_EQ(11, valor.size);
  EXPECT_EQ(18, valor.Width());
  EXPECT_EQ(6, valor.FindProperty("DECIMALS")->AsInteger());
}

}  // namespace
}  // namespace data
