#include "report/file_search.h"

#include <gtest/gtest.h>

#include "../paper/test_files.h"

namespace qzt::report {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(FileSearch, FoldersGiveTheirAnswerFilesSortedAndFilesStayAsGiven) {
  TempDir dir;
  for (const char* name : {"class/b.da", "class/a.da", "class/sub/c.da", "class/sub/a.DA", "class/z/notes.txt",
                           "class/b.da.bak", "class/a-b.da", "loose.txt"}) {
    fs::create_directories((dir / name).parent_path());
    testing::writeFile(dir / name, "x");
  }
  fs::create_directories(dir / "class/folder.da");
  fs::create_symlink(dir / "class", dir / "class/sub/loop");

  const fs::path c = dir / "class";
  const std::vector<fs::path> found =
      findAnswerFiles({dir / "loose.txt", c, dir / "missing.da", c / "sub"});
  const std::vector<fs::path> expected = {dir / "loose.txt", c / "a-b.da", c / "a.da", c / "b.da",
                                          c / "sub/a.DA", c / "sub/c.da", dir / "missing.da",
                                          c / "sub/a.DA", c / "sub/c.da"};
  EXPECT_EQ(found, expected);
}

}  // namespace
}  // namespace qzt::report
