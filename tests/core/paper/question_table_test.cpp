#include "paper/question_table.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "../paper/test_files.h"
#include "author/paper_writer.h"

namespace qzt {
namespace {

namespace f = format;
using testing::TempDir;
using testing::writeFile;

// A record holding `stored` as answer_text (already scrambled) and `key`.
QuestionRecord storedAnswer(const std::string& stored, unsigned char key) {
  QuestionRecord::Bytes r{};
  std::copy_n(stored.begin(), std::min<std::size_t>(stored.size(), 161), r.begin() + f::kAnswerText);
  r[f::kAnswerKey] = key;
  return QuestionRecord(r);
}

struct AnswerCase {
  const char* name;
  std::string stored;
  unsigned char key;
  std::string expected;
};

class GetAnsi : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(GetAnsi, Unscrambles) {
  EXPECT_EQ(storedAnswer(GetParam().stored, GetParam().key).answer(), GetParam().expected);
}

std::string caseName(const ::testing::TestParamInfo<AnswerCase>& c) { return c.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Cases, GetAnsi,
    ::testing::Values(
        AnswerCase{"KeyZeroKeepsBytes", "AB1,", 0, "AB1,"},
        AnswerCase{"KeySixSubtractsSix", "GH", 6, "AB"},
        // 200 gives ((200 % 6) + 1) * 200 = 600 = 88 mod 256.
        AnswerCase{"Key200Subtracts88", std::string{char(0x41 + 88), char(0x31 + 88)}, 200, "A1"},
        AnswerCase{"WrapsBelowZero", "\x01", 6, "\xfb"},
        AnswerCase{"FirstByteZeroIsEmpty", std::string("\0AB", 3), 0, ""},
        AnswerCase{"StopsAtZero", std::string("AB\0CD", 5), 0, "AB"},
        AnswerCase{"LowerCaseIsRaised", "abz{`", 0, "ABZ{`"},
        // The trailing byte of a double-byte character is raised too.
        AnswerCase{"ByteWiseUpperCase", "\xb0\x61", 0, "\xb0\x41"},
        AnswerCase{"At160Bytes", std::string(160, 'x') + "Q", 0, std::string(160, 'X')}),
    caseName);

TEST(QuestionRecord, FieldsAndLabelClamp) {
  QuestionRecord::Bytes r{};
  encodeFixed32(r.data() + f::kOptionCount, 5);
  encodeFixed32(r.data() + f::kKind, static_cast<std::uint32_t>(-3));
  encodeDouble(r.data() + f::kMarks, 2.5);
  r[f::kRowLabel] = 200;
  std::fill_n(r.begin() + f::kRowLabel + 1, 40, 'L');
  r[f::kAnswerKey] = 'M';  // the byte right after the label's field
  const QuestionRecord q(r);
  EXPECT_EQ(q.optionCount(), 5);
  EXPECT_EQ(q.kind(), -3);
  EXPECT_TRUE(q.graded());
  EXPECT_DOUBLE_EQ(q.marks(), 2.5);
  EXPECT_EQ(q.rowLabel(), std::string(40, 'L'));
}

TEST(QuestionRecord, WriterRoundTrip) {
  const auto q = writer::makeQuestion({"1.", 100, 0, "Part one", 0, 200});
  EXPECT_EQ(q.rowLabel(), "1.");
  EXPECT_EQ(q.kind(), 100);
  EXPECT_FALSE(q.graded());
  EXPECT_EQ(q.answer(), "PART ONE");
}

std::vector<writer::QuestionSpec> numbered(int n) {
  std::vector<writer::QuestionSpec> qs;
  for (int i = 1; i <= n; ++i) {
    qs.push_back({std::to_string(i), 1 + i % 3, 4, std::string(1, char('A' + i % 4)), 1.0 * i,
                  static_cast<unsigned char>(i)});
  }
  return qs;
}

TEST(QuestionTable, LoadsFromAnAbsolutePositionInAHostFile) {
  TempDir dir;
  writer::PaperSpec spec;
  spec.hostPrefix = std::string(5000, 'h');
  spec.questions = numbered(3);
  const auto built = writer::buildPaper(spec);
  writeFile(dir / "host", built.bytes);
  const PaperHeader header(*readHeader(dir / "host", 5000));

  auto table = QuestionTable::load(dir / "host", header);
  ASSERT_TRUE(table.ok()) << table.error().message;
  ASSERT_EQ(table->count(), 3);
  for (int q = 1; q <= 3; ++q) {
    EXPECT_EQ(table->question(q).rowLabel(), std::to_string(q));
    EXPECT_DOUBLE_EQ(table->question(q).marks(), q);
    EXPECT_EQ(table->question(q).answer(), std::string(1, char('A' + q % 4)));
  }
  EXPECT_EQ(table->question(4).kind(), 0);
  EXPECT_EQ(table->question(1002).kind(), 0);
  EXPECT_EQ(table->question(99999).rowLabel(), "");
}

TEST(QuestionTable, CountsOutsideTheCapacity) {
  TempDir dir;
  writer::PaperSpec spec;
  spec.questions = numbered(1010);
  auto built = writer::buildPaper(spec);

  struct Case {
    std::int32_t count;
    int loaded;
  };
  for (const Case c : {Case{5000, 1002}, Case{1002, 1002}, Case{0, 0}, Case{-7, 0}}) {
    writer::patchHeader(built, f::kQuestionCount, c.count);
    writeFile(dir / "p", built.bytes);
    auto table = QuestionTable::load(dir / "p", *readHeader(dir / "p", 0));
    ASSERT_TRUE(table.ok()) << c.count;
    EXPECT_EQ(table->count(), c.loaded) << c.count;
  }
}

TEST(QuestionTable, TableBeyondTheFileIsIo) {
  TempDir dir;
  writer::PaperSpec spec;
  spec.questions = numbered(3);
  auto built = writer::buildPaper(spec);
  const auto tablePos = built.layout.questionTablePos;
  struct Case {
    const char* name;
    std::int32_t pos;
    std::size_t keep;
  };
  const std::size_t whole = built.bytes.size();
  for (const Case c : {Case{"last record short", tablePos, whole - 1},
                       Case{"position past the end", static_cast<std::int32_t>(whole) + 10, whole},
                       Case{"negative position", -328, whole}}) {
    auto copy = built;
    writer::patchHeader(copy, f::kQuestionTablePos, c.pos);
    writeFile(dir / "p", copy.bytes.substr(0, c.keep));
    auto table = QuestionTable::load(dir / "p", *readHeader(dir / "p", 0));
    ASSERT_FALSE(table.ok()) << c.name;
    EXPECT_EQ(table.error().kind, ErrorKind::Io) << c.name;
  }
}

TEST(QuestionTable, KeepsAtMost1002GivenRecords) {
  EXPECT_EQ(QuestionTable(std::vector<QuestionRecord>(1500)).count(), 1002);
}

}  // namespace
}  // namespace qzt
