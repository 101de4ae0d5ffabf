#pragma once
// Reads binary data packets (and .cds files, which hold the same bytes). Trusts no length,
// count or offset: each is checked against the bytes that remain and against sane limits
// before anything is allocated. A malformed packet gives a reason, never an exception.
// Portable: no <windows.h>.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/packet.h"

namespace data {

enum class ReadError {
  kNone,
  kTruncated,        // a length, count or value runs past the end
  kBadSignature,     // not a data packet
  kBadVersion,       // a version other than 1 and 2
  kBadHeader,        // a header constant that no engine writes
  kBadColumn,        // a column description that cannot be read (type, size, children)
  kBadProperty,      // a property whose value cannot be read
  kTooLarge,         // beyond the reader's limits (nesting, values in memory)
  kTrailingBytes,    // bytes after the last record
  kHeaderMismatch,   // the header's metadata length disagrees with the metadata
};

struct ReadStatus {
  ReadError error = ReadError::kNone;
  std::string message;  // English, names what was being read and its offset
  bool ok() const { return error == ReadError::kNone; }
};

// Limits that keep a hostile packet from costing more than a real one.
constexpr int kMaxNesting = 16;  // composite columns inside each other
struct ReadLimits {
  // Values held in memory, all levels; a nested table counts as a few. 16M values take
  // 128 MiB of cells besides their bytes; the unit table at a million rows takes 3M.
  std::size_t max_values = 16u << 20;
};

// Reads `size` bytes at `data` into *packet. Rows whose status marks them superseded (0x01)
// or deleted (0x02) are read and dropped. On failure *packet is left empty.
ReadStatus ReadPacket(const std::uint8_t* data, std::size_t size, Packet* packet, ReadLimits limits = {});
inline ReadStatus ReadPacket(const std::vector<std::uint8_t>& bytes, Packet* packet, ReadLimits limits = {}) {
  return ReadPacket(bytes.data(), bytes.size(), packet, limits);
}

}  // namespace data
