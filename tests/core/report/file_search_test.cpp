#include "report/file_search.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "../paper/test_files.h"

namespace qzt::report {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

void writeFiles(const TempDir& dir, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    fs::create_directories((dir / name).parent_path());
    testing::writeFile(dir / name, "x");
  }
}

// Each file once, at its first name: named twice, named and found in a
// folder, found under a hard link, or found again through a named sub-folder.
TEST(FileSearch, FoldersGiveTheirAnswerFilesSortedAndEachFileOnce) {
  TempDir dir;
  writeFiles(dir, {"class/b.da", "class/a.da", "class/sub/c.da", "class/sub/a.DA", "class/z/notes.txt",
                   "class/b.da.bak", "class/a-b.da", "loose.txt"});
  fs::create_directories(dir / "class/folder.da");
  fs::create_symlink(dir / "class", dir / "class/sub/loop");
  fs::create_hard_link(dir / "class/b.da", dir / "class/z/b-again.da");

  const fs::path c = dir / "class";
  const AnswerFileSearch found =
      findAnswerFiles({dir / "loose.txt", c, dir / "missing.da", c / "sub", c / "a.da", dir / "missing.da"});
  const std::vector<fs::path> expected = {dir / "loose.txt", c / "a-b.da",     c / "a.da",
                                          c / "b.da",        c / "sub/a.DA",   c / "sub/c.da",
                                          dir / "missing.da"};
  EXPECT_EQ(found.files, expected);
  EXPECT_EQ(found.duplicates, 5);  // z/b-again.da, sub's two, a.da, missing.da
  EXPECT_TRUE(found.problems.empty());
}

// A sub-folder that cannot be listed is told with its reason, so its
// students do not drop out unseen.
TEST(FileSearch, UnreadableFoldersAreListed) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser lists every folder";
  TempDir dir;
  writeFiles(dir, {"class/a.da", "class/locked/b.da"});
  fs::permissions(dir / "class/locked", fs::perms::none);
  const AnswerFileSearch found = findAnswerFiles({dir / "class", dir / "gone"});
  fs::permissions(dir / "class/locked", fs::perms::owner_all);
  EXPECT_EQ(found.files, (std::vector<fs::path>{dir / "class/a.da", dir / "gone"}));
  ASSERT_EQ(found.problems.size(), 1u);
  EXPECT_EQ(found.problems[0].path, dir / "class/locked");
  EXPECT_NE(found.problems[0].reason.find("ermission denied"), std::string::npos) << found.problems[0].reason;
}

struct ClashCase {
  const char* name;
  std::vector<std::string> outputs;
  std::optional<std::size_t> clash;  // index of the output refused
  bool withOutput;
};

class OutputClashes : public ::testing::TestWithParam<ClashCase> {};

TEST_P(OutputClashes, OutputsNeverOverwriteInputsOrEachOther) {
  TempDir dir;
  writeFiles(dir, {"class/01.da", "paper.qzt"});
  fs::create_hard_link(dir / "class/01.da", dir / "linked.da");
  std::vector<fs::path> outputs;
  for (const std::string& o : GetParam().outputs) outputs.push_back(dir / o);
  const auto clash = findOutputClash(outputs, {dir / "class/01.da", dir / "paper.qzt"});
  ASSERT_EQ(clash.has_value(), GetParam().clash.has_value());
  if (!clash) return;
  EXPECT_EQ(clash->output, *GetParam().clash);
  EXPECT_EQ(clash->withOutput, GetParam().withOutput);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, OutputClashes,
    ::testing::Values(ClashCase{"Free", {"r.csv", "r.html"}, std::nullopt, false},
                      ClashCase{"AnswerFile", {"r.csv", "class/01.da"}, 1, false},
                      ClashCase{"AnswerFileByAnotherSpelling", {"class/../class/./01.da"}, 0, false},
                      ClashCase{"AnswerFileByHardLink", {"linked.da"}, 0, false},
                      ClashCase{"Paper", {"paper.qzt"}, 0, false},
                      ClashCase{"TwoOutputsNotYetMade", {"r.out", "class/../r.out"}, 1, true}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace qzt::report
