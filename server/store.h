#pragma once
// The demo server's store: a folder whose units.txt is the unit table (provider
// dsp_VeldoUnit) and whose NAME.cds files are served as provider NAME.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace server {

// A request that the store cannot answer; what() is the description for the client, UTF-8.
class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr std::string_view kUnitProvider = "dsp_VeldoUnit";

struct Records {
  std::vector<std::uint8_t> packet;  // column descriptions and every row
  std::int32_t rows = 0;
};

// The unit table's packet from units.txt (UTF-8): SPDW01 and SPDW02 as 8-bit strings of
// width 6 in code page 936 (GBK), ZHXS00 as an 8-byte float. Throws StoreError naming the
// line that is wrong.
Records UnitTablePacket(std::string_view text);

class Store {
 public:
  explicit Store(std::filesystem::path folder) : folder_(std::move(folder)) {}
  const std::filesystem::path& folder() const { return folder_; }

  // dsp_VeldoUnit, then NAME of every NAME.cds in the folder, in file-name order.
  std::vector<std::string> ProviderNames() const;
  // All rows of `provider` (UTF-8, without regard to ASCII case). Read from the folder at
  // every request. Throws StoreError for an unknown provider or an unreadable file.
  Records GetRecords(std::string_view provider) const;

 private:
  std::vector<std::filesystem::path> PacketFiles() const;
  std::filesystem::path folder_;
};

}  // namespace server
