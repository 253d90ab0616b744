// Byte strings and little-endian integers.
//
// Paper texts are GBK bytes kept in a ByteString; they are never mixed with
// UTF-8 text without going through gbk.h. Integers are assembled from bytes
// by shifting, never by casting packed structs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace qzt {

// GBK (code page 936) bytes from a paper or an answer file.
using ByteString = std::string;

inline std::uint32_t decodeFixed32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t decodeInt32(const unsigned char* p) {
  return static_cast<std::int32_t>(decodeFixed32(p));
}

inline void encodeFixed32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

inline void appendFixed32(std::string& out, std::uint32_t v) {
  unsigned char b[4];
  encodeFixed32(b, v);
  out.append(reinterpret_cast<const char*>(b), 4);
}

// IEEE 754 double, little-endian.
inline double decodeDouble(const unsigned char* p) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

inline void encodeDouble(unsigned char* p, double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(bits >> (8 * i));
}

}  // namespace qzt
