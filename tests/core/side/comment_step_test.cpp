#include "side/comment_step.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

#include "paper/format.h"
#include "paper/header.h"
#include "author/paper_writer.h"
#include "side/comments.h"

namespace fs = std::filesystem;

namespace qzt {
namespace {

class CommentStep : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("qzt-comment-step-" + std::to_string(rd()));
    fs::create_directories(dir_ / "work");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes the paper and returns its header as the reader reads it.
  PaperHeader write(const writer::BuiltPaper& built) {
    std::ofstream(paper(), std::ios::binary) << built.bytes;
    return readHeader(paper(), 0).value();
  }
  PaperHeader write(const std::optional<ByteString>& comments) {
    writer::PaperSpec spec;
    spec.comments = comments;
    spec.commentsForm = writer::PackForm::MarkedRun;
    return write(writer::buildPaper(spec));
  }
  fs::path paper() const { return dir_ / "p.qzt"; }
  fs::path work() const { return dir_ / "work"; }
  fs::path scratch() const { return work() / kCommentsScratchFile; }

  fs::path dir_;
};

const ByteString kComments = std::string(kCommentHeader) + "0-59\r\nlow\r\n" + kCommentHeader +
                             "60-100\r\nhigh\r\nsecond line\r\n";

TEST_F(CommentStep, ChoosesByTheSelectionAndLeavesNoScratchFile) {
  const PaperHeader header = write(kComments);
  struct Case {
    std::optional<double> selection;
    std::optional<std::vector<ByteString>> expected;
  };
  for (const Case& c : {Case{30, {{"low"}}}, Case{60, {{"high", "second line"}}},
                        Case{100.5, std::nullopt}, Case{std::nullopt, std::nullopt}}) {
    // A file of that name left over from before is replaced, then gone.
    std::ofstream(scratch()) << "stale";
    const auto chosen = commentFor(paper(), header, work(), c.selection);
    ASSERT_TRUE(chosen.ok()) << chosen.error().message;
    EXPECT_EQ(chosen.value(), c.expected);
    if (c.selection) {
      EXPECT_FALSE(fs::exists(scratch()));
    }
  }
}

TEST_F(CommentStep, PaperWithoutCommentsTouchesNothing) {
  const PaperHeader header = write(std::nullopt);
  ASSERT_LE(header.commentsLen(), 0);
  const auto chosen = commentFor(paper(), header, work(), 50);
  ASSERT_TRUE(chosen.ok());
  EXPECT_FALSE(chosen.value());
  EXPECT_TRUE(fs::is_empty(work()));
}

// A damaged stream is the unpacking error with its step, and the partial
// scratch file goes as well.
TEST_F(CommentStep, DamagedDataIsAnErrorAndLeavesNoScratchFile) {
  writer::PaperSpec spec;
  spec.comments = kComments;
  auto built = writer::buildPaper(spec);
  const auto pos = static_cast<std::size_t>(built.layout.commentsPos);
  for (std::size_t i = pos + 6; i < pos + static_cast<std::size_t>(built.layout.commentsLen); ++i) {
    built.bytes[i] = static_cast<char>(built.bytes[i] ^ 0x5A);
  }
  const PaperHeader header = write(built);
  const auto chosen = commentFor(paper(), header, work(), 50);
  ASSERT_FALSE(chosen.ok());
  EXPECT_EQ(chosen.error().step, format::kStepInflate);
  EXPECT_FALSE(fs::exists(scratch()));
}

}  // namespace
}  // namespace qzt
