#pragma once
// The record request: how the client data set asks its provider for rows. The connection
// layer implements it over COM; tests implement it in memory. Portable: no <windows.h>.
#include <cstdint>
#include <string>
#include <vector>

namespace data {

// What came back from the request, as the data set needs to judge it.
struct RecordReply {
  enum class Kind {
    kNull,    // a null variant: no data
    kPacket,  // a one-dimensional array whose first upper bound is above 20: the packet bytes
    kOther,   // anything else: not a data packet
  };
  Kind kind = Kind::kNull;
  std::vector<std::uint8_t> packet;  // the bytes, for kPacket
  std::int32_t records_sent = 0;     // the server's "rows sent" out-parameter
};

class RecordRequest {
 public:
  virtual ~RecordRequest() = default;
  // Asks `provider` for `count` rows (-1: all; 0 with options 2: the reset request).
  // `options` bit 1 asks for the column descriptions with the rows. A failing call throws
  // an exception whose what() is the error text, UTF-8.
  virtual RecordReply GetRecords(const std::string& provider, std::int32_t count, std::int32_t options,
                                 const std::string& command_text) = 0;
};

}  // namespace data
