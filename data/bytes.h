#pragma once
// Small byte helpers shared by the packet code: little-endian integers, a bounds-checked
// reader, ASCII case-insensitive comparison and UTF-16LE bytes. Portable: no <windows.h>.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace data {

// REQUIRES: n <= 8 and p has n bytes.
inline std::uint64_t ReadLittleEndian(const std::uint8_t* p, std::size_t n) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t{p[i]} << (8 * i);
  return v;
}

inline void WriteLittleEndian(std::uint64_t v, std::size_t n, std::uint8_t* out) {
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// UTF-16LE bytes to code units; an odd last byte is dropped.
inline std::u16string DecodeUtf16(std::string_view bytes) {
  std::u16string s(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < s.size(); ++i) {
    s[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return s;
}

inline std::string EncodeUtf16(std::u16string_view s) {
  std::string bytes(s.size() * 2, '\0');
  for (std::size_t i = 0; i < s.size(); ++i) {
    bytes[2 * i] = static_cast<char>(s[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(s[i] >> 8);
  }
  return bytes;
}

// Reads from (data, size) without ever passing its end: each read compares with remaining().
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : begin_(data), pos_(data), end_(data + size) {}
  std::size_t remaining() const { return static_cast<std::size_t>(end_ - pos_); }
  std::size_t offset() const { return static_cast<std::size_t>(pos_ - begin_); }
  const std::uint8_t* position() const { return pos_; }

  bool ReadUInt(std::size_t n, std::uint64_t* v) {  // n <= 8
    if (n > remaining()) return false;
    *v = ReadLittleEndian(pos_, n);
    pos_ += n;
    return true;
  }
  bool ReadU8(std::uint8_t* v) { return ReadAs(1, v); }
  bool ReadU16(std::uint16_t* v) { return ReadAs(2, v); }
  bool ReadU32(std::uint32_t* v) { return ReadAs(4, v); }
  bool ReadBytes(std::size_t n, const std::uint8_t** v) {  // a view into the caller's buffer
    if (n > remaining()) return false;
    *v = pos_;
    pos_ += n;
    return true;
  }
  bool Skip(std::size_t n) {
    if (n > remaining()) return false;
    pos_ += n;
    return true;
  }

 private:
  template <typename T>
  bool ReadAs(std::size_t n, T* v) {
    std::uint64_t x = 0;
    if (!ReadUInt(n, &x)) return false;
    *v = static_cast<T>(x);
    return true;
  }
  const std::uint8_t* begin_;
  const std::uint8_t* pos_;
  const std::uint8_t* end_;
};

}  // namespace data
