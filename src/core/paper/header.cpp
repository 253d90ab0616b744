#include "paper/header.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace qzt {

ByteString PaperHeader::shortString(format::ShortStringField f) const {
  // A length byte beyond the room would read the next field; clamp it.
  const int n = std::min<int>(bytes_[f.offset], f.room - 1);
  const auto* first = reinterpret_cast<const char*>(bytes_.data() + f.offset + 1);
  return ByteString(first, static_cast<std::size_t>(n));
}

std::int32_t PaperHeader::int32At(int offset) const { return decodeInt32(bytes_.data() + offset); }

ByteString PaperHeader::title() const { return shortString(format::kTitle); }
std::int32_t PaperHeader::questionCount() const { return int32At(format::kQuestionCount); }
std::int32_t PaperHeader::pageGroupPos() const { return int32At(format::kPageGroupPos); }
std::int32_t PaperHeader::pageGroupLen() const { return int32At(format::kPageGroupLen); }
std::int32_t PaperHeader::notesGroupPos() const { return int32At(format::kNotesGroupPos); }
ByteString PaperHeader::formatVersion() const { return shortString(format::kFormatVersion); }
ByteString PaperHeader::paperKey() const { return shortString(format::kPaperKey); }
std::int32_t PaperHeader::notesGroupLen() const { return int32At(format::kNotesGroupLen); }
std::int32_t PaperHeader::commentsPos() const { return int32At(format::kCommentsPos); }
std::int32_t PaperHeader::commentsLen() const { return int32At(format::kCommentsLen); }
std::int32_t PaperHeader::gridColumnsHint() const { return int32At(format::kGridColumnsHint); }
std::int32_t PaperHeader::questionTablePos() const { return int32At(format::kQuestionTablePos); }
ByteString PaperHeader::statusText() const { return shortString(format::kStatusText); }
std::int32_t PaperHeader::timeLimit() const { return int32At(format::kTimeLimit); }
std::int32_t PaperHeader::supportGroupPos() const { return int32At(format::kSupportGroupPos); }
std::int32_t PaperHeader::supportGroupLen() const { return int32At(format::kSupportGroupLen); }
ByteString PaperHeader::aboutCaption() const { return shortString(format::kAboutCaption); }
bool PaperHeader::commentsByPercent() const { return bytes_[format::kCommentsByPercent] != 0; }
unsigned char PaperHeader::checksumByte() const { return bytes_[format::kChecksum]; }

std::array<unsigned char, format::kPasswordBlockSize> PaperHeader::openPasswordBlock() const {
  std::array<unsigned char, format::kPasswordBlockSize> block{};
  std::copy_n(bytes_.begin() + format::kOpenPasswordBlock, block.size(), block.begin());
  return block;
}

std::array<unsigned char, format::kPasswordBlockSize> PaperHeader::gradePasswordBlock() const {
  std::array<unsigned char, format::kPasswordBlockSize> block{};
  std::copy_n(bytes_.begin() + format::kGradePasswordBlock, block.size(), block.begin());
  return block;
}

int PaperHeader::checksum() const {
  std::uint32_t sum = 0;
  for (int i = 0; i < format::kChecksum; ++i) sum += bytes_[i];
  return static_cast<int>(sum % format::kChecksumModulus);
}

namespace {

// The magic is compared as 11 raw bytes: length byte 10 and the ten
// characters, so a longer text with the right prefix is refused.
bool magicMatches(const PaperHeader::Bytes& b) {
  const auto f = format::kMagic;
  constexpr std::size_t kLen = sizeof format::kMagicText - 1;
  if (b[f.offset] != kLen) return false;
  return std::equal(format::kMagicText, format::kMagicText + kLen, b.begin() + f.offset + 1,
                    [](char c, unsigned char u) { return static_cast<unsigned char>(c) == u; });
}

// Short strings compare byte by byte as unsigned; an equal prefix makes the
// shorter one smaller.
bool versionAccepted(const ByteString& version) {
  const ByteString reader = format::kReaderVersion;
  const auto lhs = reinterpret_cast<const unsigned char*>(version.data());
  const auto rhs = reinterpret_cast<const unsigned char*>(reader.data());
  return !std::lexicographical_compare(rhs, rhs + reader.size(), lhs, lhs + version.size());
}

}  // namespace

int testHeader(const PaperHeader& header) {
  if (!magicMatches(header.bytes())) return format::kStateNotAPaper;
  if (!versionAccepted(header.formatVersion())) return format::kStateReaderTooOld;
  if (header.checksum() != header.checksumByte()) return format::kStateAltered;
  return 0;
}

Result<PaperHeader> readHeader(const std::filesystem::path& path, std::int64_t offset) {
  if (offset < 0) return Error::io("negative paper offset");
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    // A file whose folder cannot be searched is there for all we know.
    if (ec) return Error::file(FileFault::Unreadable, "cannot open " + path.string());
    return Error::file(FileFault::Missing, "no such file: " + path.string());
  }
  // A folder opens as a stream on some systems and then reads nothing.
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path, ec)) {
    return Error::file(FileFault::Unreadable, "cannot open " + path.string());
  }
  in.seekg(offset);
  PaperHeader::Bytes bytes{};
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return Error::file(FileFault::Unreadable, "cannot read " + path.string());
  if (!in || in.gcount() != static_cast<std::streamsize>(bytes.size())) {
    return Error::file(FileFault::TooShort, "the file is too short for a paper header: " + path.string());
  }
  return PaperHeader(bytes);
}

}  // namespace qzt
