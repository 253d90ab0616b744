#include "shell/attached_slot.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "paper/format.h"
#include "paper/header.h"
#include "util/bytes.h"
#include "util/file_bytes.h"

namespace fs = std::filesystem;

namespace qzt {
namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::int64_t kPaperRoom = format::kAttachedSlotMargin;

std::string_view marker() {
  return {reinterpret_cast<const char*>(kAttachedSlot), kSlotMarkerSize};
}

// Position of the first marker in the stream, searched chunk by chunk
// with an overlap so a marker across a chunk border is found.
std::optional<std::int64_t> findMarker(std::istream& in) {
  std::string window;
  std::int64_t windowStart = 0;
  std::vector<char> chunk(kChunk);
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
    window.append(chunk.data(), got);
    const std::size_t at = window.find(marker());
    if (at != std::string::npos) return windowStart + static_cast<std::int64_t>(at);
    const std::size_t keep = std::min(window.size(), kSlotMarkerSize - 1);
    windowStart += static_cast<std::int64_t>(window.size() - keep);
    window.erase(0, window.size() - keep);
  }
  return std::nullopt;
}

// The slot position of an open program file of `size` bytes.
std::optional<std::int64_t> slotPosition(std::istream& in, std::int64_t size) {
  char head[2] = {};
  in.read(head, 2);
  if (in.gcount() == 2 && head[0] == 'M' && head[1] == 'Z') {
    if (size < kWindowsSlotOffset + 4) return std::nullopt;
    return kWindowsSlotOffset;
  }
  in.clear();
  in.seekg(0);
  const auto at = findMarker(in);
  if (!at || *at + static_cast<std::int64_t>(kSlotFieldSize) > size) return std::nullopt;
  return *at + static_cast<std::int64_t>(kSlotMarkerSize);
}

Result<std::int64_t> fileSize(const fs::path& p) {
  std::error_code ec;
  const auto size = fs::file_size(p, ec);
  if (ec) return Error::io("cannot read " + p.string() + " (" + ec.message() + ")");
  return static_cast<std::int64_t>(size);
}

Result<std::string> readWhole(const fs::path& p) {
  auto bytes = readFileBytes(p);
  if (!bytes.ok()) return Error::io("cannot read " + p.string());
  return bytes;
}

// Positions in a header are absolute in the file that holds the paper, so a
// paper moved to `offset` of a host file has every position moved too. A
// header that passed its checksum is sealed again; a damaged one stays so.
Status rebaseHeader(std::string& paper, std::int64_t offset) {
  if (paper.size() < static_cast<std::size_t>(format::kHeaderSize)) {
    return Error::refused("the paper is too small to hold a header");
  }
  auto* bytes = reinterpret_cast<unsigned char*>(paper.data());
  PaperHeader::Bytes before;
  std::copy(bytes, bytes + format::kHeaderSize, before.begin());
  const PaperHeader original(before);
  const bool sealed = original.checksum() == original.checksumByte();
  for (int field : format::kPositionFields) {
    const std::int64_t moved = decodeInt32(bytes + field) + offset;
    if (moved > INT32_MAX) return Error::refused("the paper lies too far into the file");
    encodeFixed32(bytes + field, static_cast<std::uint32_t>(moved));
  }
  if (sealed) {
    PaperHeader::Bytes after;
    std::copy(bytes, bytes + format::kHeaderSize, after.begin());
    bytes[format::kChecksum] = static_cast<unsigned char>(PaperHeader(after).checksum());
  }
  return Status::success();
}

// A slot value v counts only when it leaves room for a paper after it.
std::optional<std::int64_t> slotOffset(std::int64_t v, std::int64_t fileSize) {
  if (v > 0 && v < fileSize - kPaperRoom) return v;
  return std::nullopt;
}

}  // namespace

Result<std::optional<std::int64_t>> findAttachedSlot(const fs::path& program) {
  const auto size = fileSize(program);
  if (!size) return size.error();
  std::ifstream in(program, std::ios::binary);
  if (!in) return Error::io("cannot read " + program.string());
  return slotPosition(in, *size);
}

Result<std::optional<std::int64_t>> attachedPaperOffset(const fs::path& program) {
  const auto size = fileSize(program);
  if (!size) return size.error();
  std::ifstream in(program, std::ios::binary);
  if (!in) return Error::io("cannot read " + program.string());
  const auto slot = slotPosition(in, *size);
  if (!slot) return std::optional<std::int64_t>{};
  in.clear();
  in.seekg(*slot);
  unsigned char raw[4] = {};
  in.read(reinterpret_cast<char*>(raw), 4);
  if (in.gcount() != 4) return Error::io("cannot read " + program.string());
  return slotOffset(decodeInt32(raw), *size);
}

Result<std::optional<std::int64_t>> runningProgramPaperOffset(const fs::path& program) {
  // Read through volatile: the value is the file's, which copy tools patch,
  // never the one this program was built with.
  const volatile unsigned char* field = kAttachedSlot + kSlotMarkerSize;
  unsigned char raw[4];
  std::copy(field, field + 4, raw);
  const std::int64_t v = decodeInt32(raw);
  if (v <= 0) return std::optional<std::int64_t>{};
  const auto size = fileSize(program);
  if (!size) return size.error();
  return slotOffset(v, *size);
}

Status attachPaper(const fs::path& reader, const fs::path& paper, const fs::path& out) {
  auto program = readWhole(reader);
  if (!program) return program.error();
  auto paperBytes = readWhole(paper);
  if (!paperBytes) return paperBytes.error();
  const auto slot = findAttachedSlot(reader);
  if (!slot) return slot.error();
  if (!*slot) return Error::refused(reader.string() + " has no attached-paper slot");
  const auto offset = static_cast<std::int64_t>(program->size());
  if (offset > INT32_MAX) return Error::refused(reader.string() + " is too large for the slot");
  if (static_cast<std::int64_t>(paperBytes->size()) <= kPaperRoom) {
    return Error::refused(paper.string() + " is too small to be a paper");
  }
  if (Status s = rebaseHeader(*paperBytes, offset); !s.ok()) return s;
  encodeFixed32(reinterpret_cast<unsigned char*>(program->data()) + **slot,
                static_cast<std::uint32_t>(offset));
  *program += *paperBytes;

  std::ofstream o(out, std::ios::binary | std::ios::trunc);
  o.write(program->data(), static_cast<std::streamsize>(program->size()));
  o.close();
  if (!o) return Error::io("cannot write " + out.string());
  std::error_code ec;
  fs::permissions(out, fs::status(reader, ec).permissions(), fs::perm_options::replace, ec);
  return Status::success();
}

}  // namespace qzt
