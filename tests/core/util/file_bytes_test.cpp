#include "util/file_bytes.h"

#include <gtest/gtest.h>

#include "../paper/test_files.h"

namespace qzt {
namespace {

using testing::TempDir;
using testing::writeFile;

TEST(FileBytes, ReadsWholeFilesAndSaysWhyNot) {
  TempDir dir;
  const std::string bytes("KEY-1\r\n\0 B\r\n", 12);
  writeFile(dir / "answers.da", bytes);
  writeFile(dir / "empty.da", "");
  std::filesystem::create_directory(dir / "folder.da");

  EXPECT_EQ(readFileBytes(dir / "answers.da").value(), bytes);
  EXPECT_EQ(readFileBytes(dir / "answers.da", bytes.size()).value(), bytes) << "at the limit";
  EXPECT_EQ(readFileBytes(dir / "empty.da").value(), "");
  const struct {
    const char* name;
    std::uintmax_t limit;
    FileFault fault;
    const char* message;
  } refused[] = {
      {"gone.da", 100, FileFault::Missing, "cannot read"},
      {"folder.da", 100, FileFault::Unreadable, "cannot read"},
      {"answers.da", 11, FileFault::TooLarge, "too large"},
  };
  for (const auto& c : refused) {
    const Result<std::string> read = readFileBytes(dir / c.name, c.limit);
    ASSERT_FALSE(read.ok()) << c.name;
    EXPECT_EQ(read.error().fault, c.fault) << c.name;
    EXPECT_EQ(read.error().message, c.message) << c.name;
  }
}

}  // namespace
}  // namespace qzt
