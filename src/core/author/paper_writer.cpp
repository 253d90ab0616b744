#include "author/paper_writer.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>

#include "paper/format.h"

namespace qzt::writer {
namespace {

namespace f = qzt::format;

void appendInt32(std::string& out, std::int32_t v) { appendFixed32(out, static_cast<std::uint32_t>(v)); }

void putInt32(PaperHeader::Bytes& h, int offset, std::int32_t v) {
  encodeFixed32(h.data() + offset, static_cast<std::uint32_t>(v));
}

// Longer texts are cut to the field's room.
void putShortString(PaperHeader::Bytes& h, f::ShortStringField field, const ByteString& text) {
  const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(field.room - 1));
  h[field.offset] = static_cast<unsigned char>(n);
  std::copy_n(text.begin(), n, h.begin() + field.offset + 1);
}

void putBlock(PaperHeader::Bytes& h, int offset, const PasswordBlock& block) {
  std::copy(block.begin(), block.end(), h.begin() + offset);
}

std::string deflateWhole(const ByteString& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
            static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION);
  out.resize(size);
  return out;
}

std::string encodeEntry(const GroupEntry& e) {
  std::string out(f::kEntryHeadSize, '\0');
  out[0] = static_cast<char>(e.kind == GroupEntry::Kind::Folder ? f::kEntryFolder : f::kEntryFile);
  appendInt32(out, static_cast<std::int32_t>(e.name.size()));
  out += e.name;
  if (e.kind == GroupEntry::Kind::File) {
    const std::string packed = e.rawPacked ? *e.rawPacked : packData(e.content, e.form, e.blocks);
    appendInt32(out, static_cast<std::int32_t>(packed.size()));
    out += packed;
  }
  return out;
}

// Places a group in the file; an empty group is still written but has no
// budget, so its end head ends it.
void placeGroup(std::string& file, const std::vector<GroupEntry>& entries, std::int32_t& pos,
                std::int32_t& len) {
  const std::string group = encodeGroup(entries);
  pos = static_cast<std::int32_t>(file.size());
  len = entries.empty() ? 0 : static_cast<std::int32_t>(group.size());
  file += group;
}

}  // namespace

std::string packBlock(const ByteString& data, std::optional<std::int32_t> declaredU) {
  std::string out;
  appendInt32(out, declaredU.value_or(static_cast<std::int32_t>(data.size())));
  out += deflateWhole(data);
  return out;
}

std::string packData(const ByteString& data, PackForm form, int blocks) {
  if (form == PackForm::SingleBlock) return packBlock(data);
  const std::size_t count = static_cast<std::size_t>(std::max(blocks, 1));
  const std::size_t piece = (data.size() + count - 1) / count;
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t from = std::min(data.size(), i * piece);
    const std::string block = packBlock(data.substr(from, std::min(piece, data.size() - from)));
    out.append(f::kBlockMarker.begin(), f::kBlockMarker.end());
    appendInt32(out, static_cast<std::int32_t>(block.size()));
    out += block;
  }
  return out;
}

std::string encodeGroup(const std::vector<GroupEntry>& entries) {
  std::string out(f::kGroupSkip, '\0');
  for (const auto& e : entries) out += encodeEntry(e);
  out.append(f::kEntryHeadSize, '\0');
  return out;
}

PasswordBlock scramblePassword(const ByteString& password, unsigned char key, unsigned char start) {
  PasswordBlock block{};
  const auto n = static_cast<unsigned>(password.size());
  block[f::kPasswordKey] = key;
  block[f::kPasswordStart] = start;
  constexpr unsigned kLengthB = 0x41;
  block[f::kPasswordLengthB] = static_cast<unsigned char>(kLengthB);
  block[f::kPasswordLengthA] = static_cast<unsigned char>((kLengthB + n) & 0xFFu);
  for (unsigned i = 0; i < n && start + i < block.size(); ++i) {
    const unsigned c = static_cast<unsigned char>(password[i]);
    block[start + i] = static_cast<unsigned char>((c + key - f::kPasswordOffset) & 0xFFu);
  }
  return block;
}

QuestionRecord makeQuestion(const QuestionSpec& spec) {
  QuestionRecord::Bytes r{};
  encodeFixed32(r.data() + f::kOptionCount, static_cast<std::uint32_t>(spec.optionCount));
  const unsigned k = spec.key;
  const unsigned d = (((k % 6) + 1) * k) % 256;
  const std::size_t answerLen = std::min<std::size_t>(spec.answer.size(), f::kAnswerTextMax);
  for (std::size_t i = 0; i < answerLen; ++i) {
    const unsigned c = static_cast<unsigned char>(spec.answer[i]);
    r[f::kAnswerText + i] = static_cast<unsigned char>((c + d) & 0xFFu);
  }
  const std::size_t labelLen = std::min<std::size_t>(spec.label.size(), f::kRowLabelMax);
  r[f::kRowLabel] = static_cast<unsigned char>(labelLen);
  std::copy_n(spec.label.begin(), labelLen, r.begin() + f::kRowLabel + 1);
  r[f::kAnswerKey] = spec.key;
  encodeFixed32(r.data() + f::kKind, static_cast<std::uint32_t>(spec.kind));
  encodeDouble(r.data() + f::kMarks, spec.marks);
  return QuestionRecord(r);
}

void sealHeader(PaperHeader::Bytes& header) {
  header[f::kChecksum] = static_cast<unsigned char>(PaperHeader(header).checksum());
}

BuiltPaper buildPaper(const PaperSpec& spec) {
  BuiltPaper paper;
  PaperLayout& at = paper.layout;
  std::string& file = paper.bytes;
  file = spec.hostPrefix;
  at.headerOffset = static_cast<std::int64_t>(file.size());
  file.append(f::kHeaderSize, '\0');

  placeGroup(file, spec.page, at.pageGroupPos, at.pageGroupLen);
  placeGroup(file, spec.support, at.supportGroupPos, at.supportGroupLen);
  placeGroup(file, spec.notes, at.notesGroupPos, at.notesGroupLen);
  if (spec.comments) {
    const std::string packed = packData(*spec.comments, spec.commentsForm);
    at.commentsPos = static_cast<std::int32_t>(file.size());
    at.commentsLen = static_cast<std::int32_t>(packed.size());
    file += packed;
  }
  at.questionTablePos = static_cast<std::int32_t>(file.size());
  for (const auto& q : spec.questions) {
    const QuestionRecord record = makeQuestion(q);
    file.append(record.bytes().begin(), record.bytes().end());
  }

  PaperHeader::Bytes h{};
  putShortString(h, f::kTitle, spec.title);
  putInt32(h, f::kQuestionCount, static_cast<std::int32_t>(spec.questions.size()));
  putInt32(h, f::kPageGroupPos, at.pageGroupPos);
  putInt32(h, f::kPageGroupLen, at.pageGroupLen);
  putInt32(h, f::kNotesGroupPos, at.notesGroupPos);
  putShortString(h, f::kFormatVersion, spec.formatVersion);
  putShortString(h, f::kPaperKey, spec.paperKey);
  putInt32(h, f::kNotesGroupLen, at.notesGroupLen);
  putInt32(h, f::kCommentsPos, at.commentsPos);
  putInt32(h, f::kCommentsLen, at.commentsLen);
  putInt32(h, f::kGridColumnsHint, 0);
  putInt32(h, f::kQuestionTablePos, at.questionTablePos);
  putShortString(h, f::kStatusText, spec.statusText);
  putBlock(h, f::kOpenPasswordBlock, scramblePassword(spec.openPassword));
  putBlock(h, f::kGradePasswordBlock, scramblePassword(spec.gradePassword, 9, 4));
  putInt32(h, f::kTimeLimit, spec.timeLimit);
  putInt32(h, f::kSupportGroupPos, at.supportGroupPos);
  putInt32(h, f::kSupportGroupLen, at.supportGroupLen);
  putShortString(h, f::kAboutCaption, spec.aboutCaption);
  putShortString(h, f::kMagic, f::kMagicText);
  h[f::kCommentsByPercent] = spec.commentsByPercent ? 1 : 0;
  sealHeader(h);
  std::copy(h.begin(), h.end(), file.begin() + at.headerOffset);
  return paper;
}

void patchHeader(BuiltPaper& paper, int fieldOffset, std::int32_t value) {
  PaperHeader::Bytes h{};
  const auto first = paper.bytes.begin() + paper.layout.headerOffset;
  std::copy_n(first, h.size(), h.begin());
  putInt32(h, fieldOffset, value);
  sealHeader(h);
  std::copy(h.begin(), h.end(), first);
}

Status writePaper(const std::filesystem::path& out, const PaperSpec& spec) {
  const std::string bytes = buildPaper(spec).bytes;
  std::ofstream file(out, std::ios::binary | std::ios::trunc);
  if (!file) return Error::io("cannot create " + out.string());
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file.flush()) return Error::io("cannot write " + out.string());
  return Status::success();
}

}  // namespace qzt::writer
