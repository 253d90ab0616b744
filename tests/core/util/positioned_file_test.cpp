#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "../paper/test_files.h"
#include "util/platform.h"

namespace qzt {
namespace {

using platform::PositionedFile;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

const unsigned char* bytesOf(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

// Blocks land at their places whatever the order and thread they come
// from, and an existing file is emptied first, not patched.
TEST(PositionedFile, WritesAtOffsetsFromSeveralThreads) {
  TempDir dir;
  const auto target = dir / "out.bin";
  writeFile(target, std::string(100, 'x'));
  auto file = PositionedFile::create(target);
  ASSERT_TRUE(file.isOpen());
  const std::string first(5000, 'a'), second(3000, 'b'), third(7, 'c');
  std::thread later([&] {
    EXPECT_TRUE(file.writeAt(8000, bytesOf(third), third.size()));
    EXPECT_TRUE(file.writeAt(5000, bytesOf(second), second.size()));
  });
  EXPECT_TRUE(file.writeAt(0, bytesOf(first), first.size()));
  later.join();
  EXPECT_TRUE(file.close());
  EXPECT_EQ(readFile(target), first + second + third);
  EXPECT_FALSE(file.close()) << "closed twice";
}

TEST(PositionedFile, FolderIsNotOpened) {
  TempDir dir;
  EXPECT_FALSE(PositionedFile::create(dir.path()).isOpen());
  EXPECT_FALSE(PositionedFile::create(dir / "missing" / "out.bin").isOpen());
}

}  // namespace
}  // namespace qzt
