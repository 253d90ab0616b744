#include "paper/header.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "author/paper_writer.h"
#include "test_files.h"

namespace qzt {
namespace {

namespace f = format;
using testing::TempDir;
using testing::writeFile;

PaperHeader::Bytes headerOf(const writer::BuiltPaper& paper) {
  PaperHeader::Bytes h{};
  std::copy_n(paper.bytes.begin() + paper.layout.headerOffset, h.size(), h.begin());
  return h;
}

PaperHeader::Bytes sealedHeader(const writer::PaperSpec& spec = {}) {
  return headerOf(writer::buildPaper(spec));
}

void putShortString(PaperHeader::Bytes& h, f::ShortStringField field, unsigned char length,
                    const std::string& text) {
  std::fill_n(h.begin() + field.offset, field.room, 0);
  h[field.offset] = length;
  std::copy(text.begin(), text.end(), h.begin() + field.offset + 1);
}

TEST(PaperHeader, WrittenFieldsReadBack) {
  writer::PaperSpec spec;
  spec.title = "\xca\xd4\xbe\xed";  // GBK
  spec.paperKey = "K-42";
  spec.statusText = "  status ";
  spec.aboutCaption = "About";
  spec.timeLimit = 45;
  spec.commentsByPercent = true;
  spec.comments = "comment";
  spec.notes = {writer::GroupEntry::file("n.txt", "notes")};
  spec.questions = {{}, {}};
  const auto built = writer::buildPaper(spec);
  const PaperHeader h(headerOf(built));

  EXPECT_EQ(testHeader(h), 0);
  EXPECT_EQ(h.title(), spec.title);
  EXPECT_EQ(h.paperKey(), "K-42");
  EXPECT_EQ(h.statusText(), "  status ");
  EXPECT_EQ(h.aboutCaption(), "About");
  EXPECT_EQ(h.formatVersion(), "1.0");
  EXPECT_EQ(h.timeLimit(), 45);
  EXPECT_TRUE(h.commentsByPercent());
  EXPECT_EQ(h.questionCount(), 2);
  EXPECT_EQ(h.questionTablePos(), built.layout.questionTablePos);
  EXPECT_EQ(h.notesGroupPos(), built.layout.notesGroupPos);
  EXPECT_GT(h.notesGroupLen(), 0);
  EXPECT_EQ(h.commentsPos(), built.layout.commentsPos);
  EXPECT_EQ(h.commentsLen(), built.layout.commentsLen);
  EXPECT_EQ(h.pageGroupLen(), 0);
  EXPECT_EQ(h.checksumByte(), h.checksum());
}

TEST(PaperHeader, ShortStringLengthIsClampedToItsRoom) {
  auto bytes = sealedHeader();
  putShortString(bytes, f::kAboutCaption, 200, "0123456789");
  bytes[f::kMagic.offset] = 'X';  // the byte after the caption's room
  EXPECT_EQ(PaperHeader(bytes).aboutCaption(), "0123456789");
}

struct ShortStringCase {
  const char* name;
  unsigned char length;
  std::string text;
  int expected;
};

std::string caseName(const ::testing::TestParamInfo<ShortStringCase>& c) { return c.param.name; }

class MagicTest : public ::testing::TestWithParam<ShortStringCase> {};

TEST_P(MagicTest, StateCode) {
  auto bytes = sealedHeader();
  putShortString(bytes, f::kMagic, GetParam().length, GetParam().text);
  writer::sealHeader(bytes);
  EXPECT_EQ(testHeader(PaperHeader(bytes)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MagicTest,
    ::testing::Values(ShortStringCase{"Exact", 10, "!!!zwks!!!", 0},
                      ShortStringCase{"OneMoreCharacter", 11, "!!!zwks!!!!", 4},
                      ShortStringCase{"Shorter", 9, "!!!zwks!!", 4},
                      ShortStringCase{"UpperCase", 10, "!!!ZWKS!!!", 4},
                      ShortStringCase{"Empty", 0, "", 4}),
    caseName);

class VersionTest : public ::testing::TestWithParam<ShortStringCase> {};

TEST_P(VersionTest, StateCode) {
  auto bytes = sealedHeader();
  putShortString(bytes, f::kFormatVersion, GetParam().length, GetParam().text);
  writer::sealHeader(bytes);
  EXPECT_EQ(testHeader(PaperHeader(bytes)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionTest,
    ::testing::Values(ShortStringCase{"Empty", 0, "", 0}, ShortStringCase{"Same", 3, "1.0", 0},
                      ShortStringCase{"Older", 3, "0.9", 0}, ShortStringCase{"Prefix", 1, "1", 0},
                      ShortStringCase{"JunkAfterLength", 3, "1.0zz\xff", 0},
                      ShortStringCase{"LongerEqualPrefix", 4, "1.01", 3},
                      ShortStringCase{"ThreePart", 5, "1.0.1", 3},
                      ShortStringCase{"Newer", 3, "1.1", 3}, ShortStringCase{"Two", 3, "2.0", 3},
                      ShortStringCase{"Ten", 2, "10", 3},
                      ShortStringCase{"HighByte", 3, "\xb0.0", 3}),
    caseName);

TEST(HeaderTest, FirstFailureWins) {
  auto bytes = sealedHeader();
  putShortString(bytes, f::kFormatVersion, 3, "9.9");
  bytes[f::kChecksum] = 200;
  EXPECT_EQ(testHeader(PaperHeader(bytes)), 3);
  bytes[f::kMagic.offset + 1] = '?';
  EXPECT_EQ(testHeader(PaperHeader(bytes)), 4);
}

TEST(HeaderTest, AnyChangedByteOutsideTheTestedFieldsIsAltered) {
  const auto sealed = sealedHeader();
  for (int i = 0; i < f::kChecksum; ++i) {
    const bool tested = (i >= f::kMagic.offset && i < f::kMagic.offset + f::kMagic.room) ||
                        (i >= f::kFormatVersion.offset &&
                         i < f::kFormatVersion.offset + f::kFormatVersion.room);
    if (tested) continue;
    auto bytes = sealed;
    bytes[i] = static_cast<unsigned char>(bytes[i] + 1);
    ASSERT_EQ(testHeader(PaperHeader(bytes)), 5) << "byte " << i;
  }
}

TEST(HeaderTest, ChangeByAMultipleOf187GoesUnnoticed) {
  auto bytes = sealedHeader();
  ASSERT_EQ(bytes[0], 0);
  bytes[0] = 187;
  EXPECT_EQ(testHeader(PaperHeader(bytes)), 0);
}

TEST(HeaderTest, ChecksumByteAbove186NeverMatches) {
  auto bytes = sealedHeader();
  bytes[f::kChecksum] = 200;
  for (int adjust = 0; adjust < 256; ++adjust) {
    bytes[10] = static_cast<unsigned char>(adjust);
    ASSERT_EQ(testHeader(PaperHeader(bytes)), 5);
  }
}

TEST(ReadHeader, FindsTheHeaderAtItsOffset) {
  TempDir dir;
  writer::PaperSpec spec;
  spec.hostPrefix = std::string(777, '\x7f');
  spec.title = "Hosted";
  const auto built = writer::buildPaper(spec);
  writeFile(dir / "host.bin", built.bytes);

  auto h = readHeader(dir / "host.bin", 777);
  ASSERT_TRUE(h.ok()) << h.error().message;
  EXPECT_EQ(testHeader(*h), 0);
  EXPECT_EQ(h->title(), "Hosted");
  EXPECT_EQ(h->questionTablePos(), built.layout.questionTablePos);

  auto atZero = readHeader(dir / "host.bin", 0);
  ASSERT_TRUE(atZero.ok());
  EXPECT_EQ(testHeader(*atZero), 4);
}

TEST(ReadHeader, ShortMissingOrNegativeIsIo) {
  TempDir dir;
  const std::string header(f::kHeaderSize, '\0');
  writeFile(dir / "exact", header);
  writeFile(dir / "short", header.substr(1));
  EXPECT_TRUE(readHeader(dir / "exact", 0).ok());

  struct Case {
    const char* file;
    std::int64_t offset;
  };
  for (const Case& c : {Case{"short", 0}, Case{"exact", 1}, Case{"exact", -1},
                        Case{"missing", 0}, Case{"exact", 1LL << 40}}) {
    auto r = readHeader(dir / c.file, c.offset);
    ASSERT_FALSE(r.ok()) << c.file << " at " << c.offset;
    EXPECT_EQ(r.error().kind, ErrorKind::Io);
  }
}

}  // namespace
}  // namespace qzt
