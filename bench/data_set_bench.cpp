// The unit table at a million rows: reading the packet, opening the data set, drawing rows
// on demand (the grid is a virtual list) and deleting one row.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/packet_reader.h"
#include "data/packet_writer.h"

namespace {

const std::vector<std::uint8_t>& UnitPacket(std::size_t rows) {
  static std::vector<std::uint8_t> bytes;
  static std::size_t made = 0;
  if (made != rows) {
    data::PacketWriter w({data::StringColumn("SPDW01", 6), data::FloatColumn("ZHXS00"), data::StringColumn("SPDW02", 6)});
    const std::string units[] = {"\xd6\xa7", "\xb0\xfc", "\xba\xd0", "\xcc\xf5", "\xbc\xfe"};  // 支 包 盒 条 件
    for (std::size_t i = 0; i < rows; ++i) {
      w.AddRow({units[i % 5], static_cast<double>(i % 1000) / 8, units[(i + 1) % 5]});
    }
    bytes = w.Finish();
    made = rows;
  }
  return bytes;
}

class OneReply : public data::RecordRequest {
 public:
  explicit OneReply(const std::vector<std::uint8_t>& packet) : packet_(packet) {}
  data::RecordReply GetRecords(const std::string&, std::int32_t, std::int32_t, const std::string&) override {
    data::RecordReply r;
    r.kind = data::RecordReply::Kind::kPacket;
    r.packet = packet_;
    r.records_sent = static_cast<std::int32_t>(packet_.size());
    return r;
  }

 private:
  const std::vector<std::uint8_t>& packet_;
};

void BM_ReadPacket(benchmark::State& state) {
  const auto& bytes = UnitPacket(static_cast<std::size_t>(state.range(0)));
  std::size_t memory = 0;
  for (auto _ : state) {
    data::Packet p;
    if (!data::ReadPacket(bytes, &p).ok()) state.SkipWithError("read failed");
    memory = p.table.MemoryUsage();
    benchmark::DoNotOptimize(p);
  }
  state.counters["packet_bytes"] = static_cast<double>(bytes.size());
  state.counters["table_bytes"] = static_cast<double>(memory);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadPacket)->Arg(10)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_OpenDataSet(benchmark::State& state) {
  const auto& bytes = UnitPacket(static_cast<std::size_t>(state.range(0)));
  OneReply server(bytes);
  for (auto _ : state) {
    data::VeldoUnitDataSet ds;
    ds.Open(server);
    benchmark::DoNotOptimize(ds.RecordCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OpenDataSet)->Arg(10)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One screenful of cells at random places, as the list asks for them.
void BM_DisplayScreen(benchmark::State& state) {
  const auto& bytes = UnitPacket(1000000);
  OneReply server(bytes);
  data::VeldoUnitDataSet ds;
  ds.Open(server);
  std::mt19937 random(1);
  std::uniform_int_distribution<std::size_t> top(0, ds.RecordCount() - 40);
  for (auto _ : state) {
    const std::size_t first = top(random);
    for (std::size_t row = first; row < first + 40; ++row) {
      for (const auto& field : ds.Fields()) benchmark::DoNotOptimize(field->DisplayTextAt(row));
    }
  }
  state.SetItemsProcessed(state.iterations() * 40 * 3);
}
BENCHMARK(BM_DisplayScreen)->Unit(benchmark::kMicrosecond);

void BM_DeleteMiddleRow(benchmark::State& state) {
  const auto& bytes = UnitPacket(1000000);
  OneReply server(bytes);
  data::VeldoUnitDataSet ds;
  ds.Open(server);
  for (auto _ : state) {
    if (ds.RecordCount() < 2) {
      state.PauseTiming();
      ds.Close();
      ds.Open(server);
      state.ResumeTiming();
    }
    ds.MoveTo(ds.RecordCount() / 2);
    ds.Delete();
  }
}
BENCHMARK(BM_DeleteMiddleRow)->Iterations(200)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
