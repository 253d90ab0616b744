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
  EXPECT_EQ(readFileBytes(dir / "empty.da").value(), "");
  const std::pair<const char*, FileFault> refused[] = {
      {"gone.da", FileFault::Missing},
      {"folder.da", FileFault::Unreadable},
  };
  for (const auto& [name, fault] : refused) {
    const Result<std::string> read = readFileBytes(dir / name);
    ASSERT_FALSE(read.ok()) << name;
    EXPECT_EQ(read.error().fault, fault) << name;
    EXPECT_EQ(read.error().message, "cannot read") << name;
  }
}

}  // namespace
}  // namespace qzt
