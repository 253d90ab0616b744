#include "shell/work_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace qzt {
namespace {

TEST(WorkFolder, FreshPrivateAndUnique) {
  const auto a = createWorkFolder();
  const auto b = createWorkFolder();
  ASSERT_TRUE(a.ok()) << a.error().message;
  ASSERT_TRUE(b.ok()) << b.error().message;
  EXPECT_NE(*a, *b);
  for (const fs::path& p : {*a, *b}) {
    EXPECT_TRUE(fs::is_directory(p));
    EXPECT_TRUE(fs::is_empty(p));
    EXPECT_EQ(p.parent_path(), fs::temp_directory_path());
    EXPECT_TRUE(p.filename().string().starts_with("qzt-"));
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all, fs::perms::owner_all);
  }
  removeWorkFolder(*a);
  removeWorkFolder(*b);
  EXPECT_FALSE(fs::exists(*a));
  EXPECT_FALSE(fs::exists(*b));
}

TEST(WorkFolder, MissingParentIsAnError) {
  const auto parent = createWorkFolder();
  ASSERT_TRUE(parent.ok());
  const auto r = createWorkFolder(*parent / "missing");
  EXPECT_FALSE(r.ok());
  removeWorkFolder(*parent);
}

TEST(WorkFolder, RemovalNeverFollowsLinksPlantedInside) {
  const auto outside = createWorkFolder();
  const auto work = createWorkFolder();
  ASSERT_TRUE(outside.ok() && work.ok());
  std::ofstream(*outside / "keep.txt") << "precious";
  fs::create_directory_symlink(*outside, *work / "linked-folder");
  fs::create_symlink(*outside / "keep.txt", *work / "linked-file");
  fs::create_directories(*work / "page.files" / "img");
  std::ofstream(*work / "page.files" / "img" / "a.png") << "x";

  // With a trailing separator as the reader used to store it.
  removeWorkFolder(*work / "");
  EXPECT_FALSE(fs::exists(*work));
  EXPECT_TRUE(fs::exists(*outside / "keep.txt"));

  // A work folder that is itself a link: the link goes, its target stays.
  const fs::path link = outside->parent_path() / (outside->filename().string() + "-link");
  fs::create_directory_symlink(*outside, link);
  removeWorkFolder(link / "");
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  EXPECT_TRUE(fs::exists(*outside / "keep.txt"));

  removeWorkFolder(*outside);
  removeWorkFolder(*outside);  // already gone: nothing happens
  removeWorkFolder({});
  EXPECT_FALSE(fs::exists(*outside));
}

}  // namespace
}  // namespace qzt
