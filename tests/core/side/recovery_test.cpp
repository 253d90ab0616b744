#include "side/recovery.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "author/paper_writer.h"
#include "same_answers.h"
#include "shell/work_folder.h"
#include "sheet/grid_layout.h"

namespace fs = std::filesystem;

namespace qzt {
namespace {

class Recovery : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<QuestionRecord> records;
    for (const writer::QuestionSpec& spec : std::vector<writer::QuestionSpec>{
             {"1", 1, 4, "A", 1}, {"2", 3, 0, "x", 1}, {"3", 2, 5, "B E", 1}, {"4", 3, 0, "y", 1}}) {
      records.push_back(writer::makeQuestion(spec));
    }
    table = QuestionTable(std::move(records));
    empty = AnswerSheet(table, grid::paperLayout(table).letterColumns);
    answered = empty;
    answered.setCell(1, 1, " A");
    answered.setCell(3, 2, " B");
    answered.setCell(3, 5, " E");
    // Line breaks and a fake end line inside a field must not confuse it.
    answered.setTextAnswer(0, "two\nlines\r\nend 0000000000000000\n");
    answered.setTextAnswer(1, "\xD6\xD0\xCE\xC4");
    auto made = createWorkFolder();
    ASSERT_TRUE(made.ok());
    folder = *made;
  }
  void TearDown() override { removeWorkFolder(folder); }

  RecoveryCopy copy(int minutes = 42, int seconds = 7) const {
    return makeRecoveryCopy(paperPath, "KEY-1", "\xB2\xE2\xCA\xD4 title", answered, minutes, seconds);
  }

  const fs::path paperPath = fs::path(u8"/papers/第一 单元.qzt");
  QuestionTable table;
  AnswerSheet empty, answered;
  fs::path folder;
};

TEST_F(Recovery, RoundTripRestoresEveryAnswerAndTheClock) {
  const RecoveryCopy original = copy(-1, 59);
  const auto parsed = parseRecovery(serializeRecovery(original));
  ASSERT_TRUE(parsed.ok()) << parsed.error().message;
  EXPECT_EQ(*parsed, original);
  EXPECT_EQ(parsed->minutesLeft, -1);

  AnswerSheet restored(table, empty.letterColumns());
  restored.setCell(4, 1, " A");  // stale content is cleared
  ASSERT_TRUE(restoreAnswers(*parsed, restored).ok());
  expectSameAnswers(restored, answered);
}

TEST_F(Recovery, RestoreRefusesASheetOfAnotherShape) {
  AnswerSheet other(table, empty.letterColumns() + 1);
  EXPECT_FALSE(restoreAnswers(copy(), other).ok());
  AnswerSheet none;
  EXPECT_FALSE(restoreAnswers(copy(), none).ok());
}

TEST_F(Recovery, DamagedCopiesAreRefused) {
  const std::string good = serializeRecovery(copy());
  ASSERT_TRUE(parseRecovery(good).ok());
  for (std::size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(parseRecovery(std::string_view(good).substr(0, n)).ok()) << "prefix " << n;
  }
  for (std::size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ 0x01);
    EXPECT_FALSE(parseRecovery(bad).ok()) << "flipped byte " << i;
  }
  EXPECT_FALSE(parseRecovery(good + "x").ok());
  EXPECT_FALSE(parseRecovery(good + good).ok());
}

TEST_F(Recovery, OutOfRangeRecordsAreRefusedEvenWithAGoodChecksum) {
  // Hand-built copies with a correct checksum but impossible contents.
  const std::string head = "qzt-recovery 1\npath 1\np\nkey 1\nk\ntitle 0\n\nclock 1 2\n";
  for (const std::string& body : {
           std::string("shape 3 4 1\ncell 3 1 2\n A\n"),        // row past the last
           std::string("shape 3 4 1\ncell 1 5 2\n A\n"),        // column past the last
           std::string("shape 3 4 1\ncell 0 1 2\n A\n"),        // header row
           std::string("shape 3 4 1\ntext 1 1\nx\n"),           // text past the last
           std::string("shape 3 4 1\ncell 1 1 99999\n A\n"),    // length past the end
           std::string("shape 3 4 1\ncell 1 1 -2\n A\n"),       // negative length
           std::string("shape 0 4 1\n"),                         // no rows
           std::string("shape 3 4 1\nnote 1\nx\n"),             // unknown record
       }) {
    std::string bytes = head + body;
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a64(bytes)));
    bytes += std::string("end ") + hash + "\n";
    EXPECT_FALSE(parseRecovery(bytes).ok()) << body;
  }
}

TEST_F(Recovery, SavedCopyIsFoundForItsPaperOnly) {
  ASSERT_TRUE(saveRecovery(folder, copy()).ok());
  const auto loaded = loadRecovery(folder, paperPath, "KEY-1");
  ASSERT_TRUE(loaded.ok()) << loaded.error().message;
  ASSERT_TRUE(loaded->has_value());
  EXPECT_EQ(**loaded, copy());

  for (const auto& [path, key] : std::vector<std::pair<fs::path, ByteString>>{
           {paperPath, "key-1"}, {"/papers/other.qzt", "KEY-1"}}) {
    EXPECT_NE(recoveryFilePath(folder, path, key), recoveryFilePath(folder, paperPath, "KEY-1"));
    const auto none = loadRecovery(folder, path, key);
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none->has_value());
  }

  discardRecovery(folder, paperPath, "KEY-1");
  const auto gone = loadRecovery(folder, paperPath, "KEY-1");
  ASSERT_TRUE(gone.ok());
  EXPECT_FALSE(gone->has_value());
}

TEST_F(Recovery, DamagedFileOnDiskIsAnErrorNotACrash) {
  ASSERT_TRUE(saveRecovery(folder, copy()).ok());
  const fs::path file = recoveryFilePath(folder, paperPath, "KEY-1");
  fs::resize_file(file, fs::file_size(file) / 2);
  const auto loaded = loadRecovery(folder, paperPath, "KEY-1");
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(loaded.error().kind, ErrorKind::Corrupt);
}

TEST_F(Recovery, FailedSaveKeepsTheOldCopy) {
  ASSERT_TRUE(saveRecovery(folder, copy(42)).ok());
  const fs::path file = recoveryFilePath(folder, paperPath, "KEY-1");
  // A folder where the new bytes would go first.
  fs::path temp = file;
  temp += ".tmp";
  fs::create_directory(temp);
  std::ofstream(temp / "occupant") << "x";

  EXPECT_FALSE(saveRecovery(folder, copy(41)).ok());
  const auto loaded = loadRecovery(folder, paperPath, "KEY-1");
  ASSERT_TRUE(loaded.ok() && loaded->has_value());
  EXPECT_EQ((*loaded)->minutesLeft, 42);

  fs::remove_all(temp);
  ASSERT_TRUE(saveRecovery(folder, copy(41)).ok());
  EXPECT_EQ((*loadRecovery(folder, paperPath, "KEY-1"))->minutesLeft, 41);
  EXPECT_FALSE(fs::exists(temp));
}

TEST_F(Recovery, SaveIntoAFileInsteadOfAFolderFails) {
  const fs::path notAFolder = folder / "plain";
  std::ofstream(notAFolder) << "x";
  EXPECT_FALSE(saveRecovery(notAFolder, copy()).ok());
  EXPECT_TRUE(saveRecovery(folder / "new" / "deeper", copy()).ok());
}

TEST(Fnv1a64, KnownValues) {
  EXPECT_EQ(fnv1a64(""), 0xcbf29ce484222325ULL);
  EXPECT_EQ(fnv1a64("a"), 0xaf63dc4c8601ec8cULL);
  EXPECT_EQ(fnv1a64("foobar"), 0x85944171f73967e8ULL);
}

}  // namespace
}  // namespace qzt
