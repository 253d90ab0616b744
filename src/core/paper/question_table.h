// The question table: up to 1002 fixed 328-byte records, read from the
// paper at the header's question_table_pos (absolute in the file).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "paper/format.h"
#include "paper/header.h"
#include "util/bytes.h"
#include "util/result.h"

namespace qzt {

class QuestionRecord {
 public:
  using Bytes = std::array<unsigned char, format::kQuestionRecordSize>;

  QuestionRecord() { bytes_.fill(0); }
  explicit QuestionRecord(const Bytes& bytes) : bytes_(bytes) {}
  const Bytes& bytes() const { return bytes_; }

  std::int32_t optionCount() const;
  std::int32_t kind() const;
  double marks() const;
  unsigned char answerKey() const;
  // Label bytes, the length byte clamped to the 40-byte field.
  ByteString rowLabel() const;
  // getansi: unscrambled answer_text (up to the first zero or 160 bytes),
  // each byte 0x61..0x7A upper-cased alone.
  ByteString answer() const;

  bool graded() const { return kind() < format::kFirstUngradedKind; }

 private:
  Bytes bytes_;
};

class QuestionTable {
 public:
  QuestionTable() = default;
  // For tests and tools: records 1..n in order (at most 1002 kept).
  explicit QuestionTable(std::vector<QuestionRecord> records);

  // Reads min(question_count, 1002) records (none for 0 or less). A short
  // file or a bad position is an Io error; nothing is kept then.
  static Result<QuestionTable> load(const std::filesystem::path& paper, const PaperHeader& header);

  int count() const { return static_cast<int>(records_.size()); }
  // REQUIRES: q >= 1. Slots beyond count() read as an all-zero record.
  const QuestionRecord& question(int q) const;

 private:
  std::vector<QuestionRecord> records_;
};

}  // namespace qzt
