#include "zip_writer.h"

#include <zlib.h>

#include <cstdint>

namespace qzt::serve {
namespace {

void put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

constexpr std::uint32_t kUtf8Names = 1u << 11;

}  // namespace

std::string zipStored(const std::vector<std::pair<std::string, std::string>>& files) {
  std::string out, directory;
  for (const auto& [name, bytes] : files) {
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
    const auto offset = static_cast<std::uint32_t>(out.size());
    const auto size = static_cast<std::uint32_t>(bytes.size());
    const auto nameLength = static_cast<std::uint32_t>(name.size());
    put32(out, 0x04034b50);
    put16(out, 20);
    put16(out, kUtf8Names);
    put16(out, 0);  // stored
    put32(out, 0);  // time and date
    put32(out, crc);
    put32(out, size);
    put32(out, size);
    put16(out, nameLength);
    put16(out, 0);
    out += name;
    out += bytes;
    put32(directory, 0x02014b50);
    put16(directory, 20);
    put16(directory, 20);
    put16(directory, kUtf8Names);
    put16(directory, 0);
    put32(directory, 0);
    put32(directory, crc);
    put32(directory, size);
    put32(directory, size);
    put16(directory, nameLength);
    put16(directory, 0);
    put16(directory, 0);
    put16(directory, 0);
    put16(directory, 0);
    put32(directory, 0);
    put32(directory, offset);
    directory += name;
  }
  const auto directoryAt = static_cast<std::uint32_t>(out.size());
  out += directory;
  put32(out, 0x06054b50);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<std::uint32_t>(files.size()));
  put16(out, static_cast<std::uint32_t>(files.size()));
  put32(out, static_cast<std::uint32_t>(directory.size()));
  put32(out, directoryAt);
  put16(out, 0);
  return out;
}

}  // namespace qzt::serve
