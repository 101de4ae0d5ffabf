#include "server/store.h"

#include <windows.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

#include "data/bytes.h"
#include "data/packet.h"
#include "data/packet_reader.h"
#include "data/packet_writer.h"
#include "remote/com_types.h"

namespace server {

namespace {

constexpr UINT kGbk = 936;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw StoreError("Cannot read " + remote::WideToUtf8(path.wstring()));
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// UTF-8 text as GBK bytes; every character must have a GBK form.
std::string ToGbk(std::string_view utf8, const std::string& where) {
  const std::wstring wide = remote::Utf8ToWide(utf8);
  if (wide.empty()) return {};
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, &lossy);
  if (n <= 0 || lossy) throw StoreError(where + ": \"" + std::string(utf8) + "\" has no GBK form");
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

data::Value StringCell(std::string_view cell, const std::string& where) {
  if (cell.empty()) return data::Value{};
  return ToGbk(cell, where);
}

data::Value FactorCell(std::string_view cell, const std::string& where) {
  if (cell.empty()) return data::Value{};
  double factor = 0;
  const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), factor);
  if (error != std::errc() || end != cell.data() + cell.size())
    throw StoreError(where + ": \"" + std::string(cell) + "\" is no number");
  return factor;
}

}  // namespace

Records UnitTablePacket(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  data::PacketWriter writer(
      {data::StringColumn("SPDW01", 6), data::FloatColumn("ZHXS00"), data::StringColumn("SPDW02", 6)});
  Records records;
  int line_number = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    ++line_number;
    if (line.empty() || line.front() == '#') continue;

    const std::string where = "units.txt line " + std::to_string(line_number);
    std::vector<std::string_view> cells;
    for (std::string_view rest = line;;) {
      const std::size_t tab = rest.find('\t');
      cells.push_back(Trim(rest.substr(0, tab)));
      if (tab == std::string_view::npos) break;
      rest.remove_prefix(tab + 1);
    }
    if (cells.size() != 3) throw StoreError(where + ": 3 tab-separated cells expected");
    if (!writer.AddRow({StringCell(cells[0], where), FactorCell(cells[1], where), StringCell(cells[2], where)}))
      throw StoreError(where + ": a value does not fit its column");
    ++records.rows;
  }
  records.packet = writer.Finish();
  return records;
}

std::vector<std::filesystem::path> Store::PacketFiles() const {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    if (entry.is_regular_file(error) && data::EqualsIgnoreCase(remote::WideToUtf8(entry.path().extension().wstring()), ".cds"))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> Store::ProviderNames() const {
  std::vector<std::string> names{std::string(kUnitProvider)};
  for (const auto& file : PacketFiles()) names.push_back(remote::WideToUtf8(file.stem().wstring()));
  return names;
}

Records Store::GetRecords(std::string_view provider) const {
  if (data::EqualsIgnoreCase(provider, kUnitProvider)) return UnitTablePacket(ReadFile(folder_ / "units.txt"));

  // Only names of files that are there: a provider name is never taken as a path.
  for (const auto& file : PacketFiles()) {
    if (!data::EqualsIgnoreCase(remote::WideToUtf8(file.stem().wstring()), provider)) continue;
    const std::string bytes = ReadFile(file);
    Records records;
    records.packet.assign(bytes.begin(), bytes.end());
    data::Packet packet;
    const data::ReadStatus status = data::ReadPacket(records.packet, &packet);
    if (!status.ok())
      throw StoreError(remote::WideToUtf8(file.filename().wstring()) + " is no data packet: " + status.message);
    records.rows = static_cast<std::int32_t>(packet.table.RowCount());
    return records;
  }
  throw StoreError("Provider not found: " + std::string(provider));
}

}  // namespace server
