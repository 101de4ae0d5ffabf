// cds_dump: prints what a data packet or .cds file holds: its columns, its data-set
// properties and its rows as CSV, in UTF-8. 8-bit text is converted from the code page given
// with --cp (936, GBK, by default). Exit code 0 when the file reads, 1 when it is malformed,
// 2 when it cannot be opened or the command line is wrong.
//
//   cds_dump [--cp N] [--no-rows] FILE
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "data/fields.h"
#include "data/packet.h"
#include "data/packet_reader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

constexpr std::uint8_t kSignature[4] = {0x96, 0x19, 0xE0, 0xBD};

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    std::uint32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// 8-bit text in code page `cp` to UTF-8. Bytes that do not convert become U+FFFD.
std::string AnsiToUtf8(std::string_view bytes, int cp) {
  if (bytes.empty()) return std::string();
#ifdef _WIN32
  if (bytes.size() > 0x7FFFFFFF) return std::string();
  const int n = static_cast<int>(bytes.size());
  const int wide = MultiByteToWideChar(static_cast<UINT>(cp), 0, bytes.data(), n, nullptr, 0);
  if (wide <= 0) return std::string(bytes);
  std::u16string w(static_cast<std::size_t>(wide), u'\0');
  MultiByteToWideChar(static_cast<UINT>(cp), 0, bytes.data(), n, reinterpret_cast<wchar_t*>(w.data()), wide);
  return Utf16ToUtf8(w);
#else
  const std::string from = "CP" + std::to_string(cp);
  iconv_t cd = iconv_open("UTF-8", from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
  std::string out;
  std::vector<char> in(bytes.begin(), bytes.end());
  char* in_ptr = in.data();
  std::size_t in_left = in.size();
  char buffer[256];
  while (in_left > 0) {
    char* out_ptr = buffer;
    std::size_t out_left = sizeof buffer;
    const std::size_t r = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer, sizeof buffer - out_left);
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += "\xEF\xBF\xBD";  // skip the byte that does not convert
      ++in_ptr;
      --in_left;
    }
  }
  iconv_close(cd);
  return out;
#endif
}

// Day number (0001-01-01 = 1) to "yyyy-mm-dd".
std::string DateText(std::int64_t day) {
  std::int64_t z = day - 719163 + 719468;  // days since 0000-03-01
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  char text[96];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", static_cast<long long>(y), static_cast<long long>(m),
                static_cast<long long>(d));
  return text;
}

std::string TimeText(std::int64_t ms) {
  char text[96];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", static_cast<long long>(ms / 3600000),
                static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60),
                static_cast<long long>(ms % 1000));
  return text;
}

std::string DateTimeText(double ms) {
  if (!std::isfinite(ms) || std::fabs(ms) > 1e18) return data::FormatFloatGeneral(ms, 15, '.');
  const auto total = static_cast<std::int64_t>(std::llround(ms));
  std::int64_t day = total / 86400000, rest = total % 86400000;
  if (rest < 0) {
    rest += 86400000;
    --day;
  }
  return DateText(day) + " " + TimeText(rest);
}

std::string CsvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string ValueText(const data::Value& v, const data::Slot& slot, int cp) {
  const std::uint8_t base = slot.BaseType();
  if (std::holds_alternative<std::monostate>(v) || std::holds_alternative<data::NotChanged>(v)) return std::string();
  if (const auto* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
  if (const auto* i = std::get_if<std::int64_t>(&v)) {
    if (base == data::kBaseDate) return DateText(*i);
    if (base == data::kBaseTime) return TimeText(*i);
    return std::to_string(*i);
  }
  if (const auto* d = std::get_if<double>(&v)) {
    return base == data::kBaseDateTime ? DateTimeText(*d) : data::FormatFloatGeneral(*d, 15, '.');
  }
  if (const auto* s = std::get_if<std::string>(&v)) {
    const data::FieldType t = slot.type;
    if (base == data::kBaseZString || t == data::FieldType::kMemo || t == data::FieldType::kFmtMemo) {
      return AnsiToUtf8(*s, cp);
    }
    return "<" + std::to_string(s->size()) + " bytes>";
  }
  if (const auto* w = std::get_if<std::u16string>(&v)) return Utf16ToUtf8(*w);
  if (const auto* dec = std::get_if<data::Decimal>(&v)) return dec->text;
  if (const auto* t = std::get_if<data::SqlTimeStamp>(&v)) {
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02u:%02u:%02u.%03u", t->year, t->month, t->day, t->hour,
                  t->minute, t->second, static_cast<unsigned>(t->fraction));
    return text;
  }
  if (const auto* n = std::get_if<data::NestedRows>(&v)) return "<" + std::to_string(n->table->RowCount()) + " rows>";
  return std::string();
}

std::string PropertyText(const data::Property& p) {
  std::ostringstream out;
  if (p.IsArray()) {
    const std::vector<std::int64_t> values = p.AsIntegers();
    out << "[";
    for (std::size_t i = 0; i < values.size() && i < 30; ++i) out << (i ? ", " : "") << values[i];
    if (values.size() > 30) out << ", ... " << values.size() << " values";
    if (values.empty() && p.count > 0) out << p.count << " elements";
    out << "]";
  } else if (p.BaseType() == data::kBaseZString) {
    out << "'" << p.AsString() << "'";
  } else if (auto i = p.AsInteger()) {
    out << *i;
  } else {
    static const char* kDigits = "0123456789abcdef";
    out << "0x";
    for (std::size_t i = 0; i < p.value.size() && i < 32; ++i) out << kDigits[p.value[i] >> 4] << kDigits[p.value[i] & 15];
    if (p.value.size() > 32) out << "...";
  }
  char type[16];
  std::snprintf(type, sizeof type, "0x%04x", p.type_word);
  return out.str() + "  [type " + type + ", size " + std::to_string(p.size) + "]";
}

void PrintColumns(const std::vector<data::Column>& columns, const std::string& indent) {
  for (const data::Column& c : columns) {
    std::cout << indent << c.name << "  " << c.TypeName();
    if (const auto width = c.Width()) std::cout << "  width " << *width;
    const std::string subtype = c.Subtype();
    if (!subtype.empty()) std::cout << "  subtype " << subtype;
    const struct { std::uint16_t bit; const char* name; } kAttributes[] = {
        {data::kAttrHidden, "hidden"}, {data::kAttrReadOnly, "read-only"}, {data::kAttrRequired, "required"},
        {data::kAttrLink, "link"},     {data::kAttrUnnamed, "unnamed"},    {data::kAttrFixed, "fixed"}};
    for (const auto& a : kAttributes) {
      if (c.attributes & a.bit) std::cout << "  " << a.name;
    }
    std::cout << "\n";
    for (const data::Property& p : c.properties) {
      if (p.name != "WIDTH" && p.name != "SUBTYPE") std::cout << indent << "    " << p.name << " = " << PropertyText(p) << "\n";
    }
    PrintColumns(c.children, indent + "    ");
    for (const data::Property& p : c.table_properties) {
      std::cout << indent << "    (table) " << p.name << " = " << PropertyText(p) << "\n";
    }
  }
}

int Usage() {
  std::cerr << "usage: cds_dump [--cp N] [--no-rows] FILE\n"
               "  prints the columns, data-set properties and rows (CSV, UTF-8) of a data packet\n"
               "  --cp N     code page of 8-bit text (default 936, GBK)\n"
               "  --no-rows  leave the rows out\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int cp = 936;
  bool rows = true;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--cp") == 0 && i + 1 < argc) {
      cp = std::atoi(argv[++i]);
      if (cp <= 0) return Usage();
    } else if (std::strcmp(argv[i], "--no-rows") == 0) {
      rows = false;
    } else if (argv[i][0] == '-' || path) {
      return Usage();
    } else {
      path = argv[i];
    }
  }
  if (!path) return Usage();

  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::cerr << "cds_dump: cannot open " << path << "\n";
    return 2;
  }
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::size_t start = 0;
  // A packet copied out of a form file keeps the form's 4-byte length in front.
  if (bytes.size() >= 8 && std::memcmp(bytes.data() + 4, kSignature, 4) == 0 &&
      (bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24) == bytes.size() - 4) {
    start = 4;
  }

  data::Packet packet;
  const data::ReadStatus status = data::ReadPacket(bytes.data() + start, bytes.size() - start, &packet);
  if (!status.ok()) {
    std::cerr << "cds_dump: " << path << ": malformed data packet: " << status.message << "\n";
    return 1;
  }

  const data::Table& table = packet.table;
  std::cout << "file: " << path << " (" << bytes.size() << " bytes), version " << packet.version << ", "
            << table.RowCount() << " rows\n";
  std::cout << "columns:\n";
  PrintColumns(packet.columns(), "  ");
  std::cout << "properties:\n";
  for (const data::Property& p : packet.properties) std::cout << "  " << p.name << " = " << PropertyText(p) << "\n";
  if (!rows) return 0;

  std::cout << "rows:\n";
  const std::vector<data::Slot>& slots = table.slots();
  for (std::size_t i = 0; i < slots.size(); ++i) std::cout << (i ? "," : "") << CsvField(slots[i].name);
  std::cout << "\n";
  for (std::size_t r = 0; r < table.RowCount(); ++r) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
      std::cout << (i ? "," : "") << CsvField(ValueText(table.Get(r, i), slots[i], cp));
    }
    std::cout << "\n";
  }
  return std::cout ? 0 : 2;
}
