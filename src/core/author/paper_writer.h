// Writes papers: the inverse of the reader, for tests, benchmarks, fuzz
// seeds and `qzt pack`. It can also write what a careful authoring tool
// never would (bad names, impossible lengths), so hostile cases are built
// in the tests instead of committed as binaries.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "paper/header.h"
#include "paper/password.h"
#include "paper/question_table.h"
#include "util/bytes.h"
#include "util/result.h"

namespace qzt::writer {

enum class PackForm { SingleBlock, MarkedRun };

// One entry of a file group.
struct GroupEntry {
  enum class Kind { Folder, File } kind = Kind::File;
  ByteString name;          // GBK, "\" separators
  ByteString content;       // files only
  PackForm form = PackForm::SingleBlock;
  int blocks = 1;           // MarkedRun: split the content into this many blocks
  // Files only: stored as the packed data instead of packing `content`
  // (hostile or hand-made packed data).
  std::optional<std::string> rawPacked;
  static GroupEntry folder(ByteString name) { return {Kind::Folder, std::move(name), {}, PackForm::SingleBlock, 1, {}}; }
  static GroupEntry file(ByteString name, ByteString content, PackForm form = PackForm::SingleBlock, int blocks = 1) {
    return {Kind::File, std::move(name), std::move(content), form, blocks, {}};
  }
  static GroupEntry raw(ByteString name, std::string packed) {
    return {Kind::File, std::move(name), {}, PackForm::SingleBlock, 1, std::move(packed)};
  }
};

struct QuestionSpec {
  ByteString label;          // GBK, at most 40 bytes
  std::int32_t kind = 1;
  std::int32_t optionCount = 4;
  ByteString answer;         // plain (unscrambled) answer or heading text
  double marks = 1;
  unsigned char key = 7;     // answer_key used to scramble
};

struct PaperSpec {
  ByteString title = "Test paper";
  ByteString paperKey = "KEY-1";
  ByteString formatVersion = "1.0";
  ByteString statusText;
  ByteString aboutCaption;
  std::int32_t timeLimit = 60;
  ByteString openPassword;   // empty = none
  ByteString gradePassword;  // empty = none
  bool commentsByPercent = false;
  std::vector<GroupEntry> page;
  std::vector<GroupEntry> support;
  std::vector<GroupEntry> notes;
  std::optional<ByteString> comments;  // the comments text, packed
  PackForm commentsForm = PackForm::SingleBlock;
  std::vector<QuestionSpec> questions;
  // Bytes before the header (a host file): the paper then sits at this
  // offset and every position is absolute in the whole file.
  std::string hostPrefix;
};

// Where the pieces landed in the written file (absolute positions).
struct PaperLayout {
  std::int64_t headerOffset = 0;
  std::int32_t pageGroupPos = 0, pageGroupLen = 0;
  std::int32_t supportGroupPos = 0, supportGroupLen = 0;
  std::int32_t notesGroupPos = 0, notesGroupLen = 0;
  std::int32_t commentsPos = 0, commentsLen = 0;
  std::int32_t questionTablePos = 0;
};

struct BuiltPaper {
  std::string bytes;
  PaperLayout layout;
};

BuiltPaper buildPaper(const PaperSpec& spec);
Status writePaper(const std::filesystem::path& out, const PaperSpec& spec);

// ---- Pieces, for hand-made and hostile papers -----------------------------
// A block: int32 U (declaredU when given, else the true length) + zlib stream.
std::string packBlock(const ByteString& data, std::optional<std::int32_t> declaredU = {});
// Packed data in the given form.
std::string packData(const ByteString& data, PackForm form, int blocks = 1);
// A file group's bytes: the 4 unread bytes, the entries, then a head of
// kind 0 that ends the group.
std::string encodeGroup(const std::vector<GroupEntry>& entries);
// REQUIRES: start >= 3 and start + password.size() <= 29 (bytes 0..2 and
// 29 hold the key, start and length terms).
PasswordBlock scramblePassword(const ByteString& password, unsigned char key = 5, unsigned char start = 3);
QuestionRecord makeQuestion(const QuestionSpec& spec);
// Sets the checksum byte so the header passes its test.
void sealHeader(PaperHeader::Bytes& header);
// Overwrites an int32 header field of a built paper (offset from
// paper/format.h) and seals the header again.
void patchHeader(BuiltPaper& paper, int fieldOffset, std::int32_t value);

}  // namespace qzt::writer
