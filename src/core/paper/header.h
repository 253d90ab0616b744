// The paper header: a fixed record with typed access to its fields, the
// three acceptance tests, and reading it at a paper offset.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

#include "paper/format.h"
#include "util/bytes.h"
#include "util/result.h"

namespace qzt {

class PaperHeader {
 public:
  using Bytes = std::array<unsigned char, format::kHeaderSize>;

  PaperHeader() { bytes_.fill(0); }
  explicit PaperHeader(const Bytes& bytes) : bytes_(bytes) {}

  const Bytes& bytes() const { return bytes_; }

  ByteString title() const;
  std::int32_t questionCount() const;
  std::int32_t pageGroupPos() const;
  std::int32_t pageGroupLen() const;
  std::int32_t notesGroupPos() const;
  ByteString formatVersion() const;
  ByteString paperKey() const;
  std::int32_t notesGroupLen() const;
  std::int32_t commentsPos() const;
  std::int32_t commentsLen() const;
  std::int32_t gridColumnsHint() const;
  std::int32_t questionTablePos() const;
  ByteString statusText() const;
  std::array<unsigned char, format::kPasswordBlockSize> openPasswordBlock() const;
  std::array<unsigned char, format::kPasswordBlockSize> gradePasswordBlock() const;
  std::int32_t timeLimit() const;
  std::int32_t supportGroupPos() const;
  std::int32_t supportGroupLen() const;
  ByteString aboutCaption() const;
  bool commentsByPercent() const;
  unsigned char checksumByte() const;

  // Sum of bytes 0..1826 mod 187.
  int checksum() const;

 private:
  ByteString shortString(format::ShortStringField f) const;
  std::int32_t int32At(int offset) const;

  Bytes bytes_;
};

// 0 when accepted; otherwise the state code of the first failing test:
// 4 magic, 3 version newer than the reader's, 5 checksum.
int testHeader(const PaperHeader& header);

// Reads the 1828 header bytes at `offset` of `path`. A missing file, a
// negative offset or a file shorter than offset + 1828 is an Io error; the
// error's fault says which of missing, unreadable or too short it was.
Result<PaperHeader> readHeader(const std::filesystem::path& path, std::int64_t offset);

}  // namespace qzt
