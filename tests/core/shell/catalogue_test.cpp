#include "shell/catalogue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "shell/work_folder.h"

namespace fs = std::filesystem;

namespace qzt {
namespace {

struct Listed {
  std::string path;
  std::string name;
  bool operator==(const Listed&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Listed& l) { return os << l.path << " as " << l.name; }

struct CatalogueCase {
  const char* name;
  std::string folder;
  std::string text;
  std::set<std::string> files;  // paths that exist
  std::vector<Listed> expected;
};

class CatalogueLines : public ::testing::TestWithParam<CatalogueCase> {};

TEST_P(CatalogueLines, ListsExistingPapersInFileOrder) {
  const auto& c = GetParam();
  const auto exists = [&](const fs::path& p) { return c.files.count(p.string()) > 0; };
  std::vector<Listed> got;
  for (const CatalogueEntry& e : readCatalogue(c.folder, c.text, exists)) {
    got.push_back({e.path.string(), e.displayName});
  }
  EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CatalogueLines,
    ::testing::Values(
        CatalogueCase{"SamePaperTwice", "/cat", "unit 1\r\nunit 1.qzt\r\n", {"/cat/unit 1.qzt"},
                      {{"/cat/unit 1.qzt", "unit 1"}, {"/cat/unit 1.qzt", "unit 1"}}},
        CatalogueCase{"UpperCaseExtensionGetsAnother", "/cat/", "a.QZT\nb.QZT\n", {"/cat/b.QZT.qzt", "/cat/a.QZT"},
                      {{"/cat/b.QZT.qzt", "b.QZT"}}},
        CatalogueCase{"SubFolderWithBackslash", "/cat", "sub\\unit 2", {"/cat/sub/unit 2.qzt"},
                      {{"/cat/sub/unit 2.qzt", "unit 2"}}},
        CatalogueCase{"FolderContainingQzt", "/x.qzt/cat", "unit 1\runit 2.qzt", {"/x.qzt/cat/unit 1", "/x.qzt/cat/unit 2.qzt"},
                      {{"/x.qzt/cat/unit 1", "un"}, {"/x.qzt/cat/unit 2.qzt", "unit 2"}}},
        CatalogueCase{"EmptyLineNamesFolderDotQzt", "/cat", "\r\nunit 1\r\n", {"/cat/unit 1.qzt"},
                      {{"/cat/unit 1.qzt", "unit 1"}}},
        CatalogueCase{"LinesUsedAsWritten", "/cat", " unit 1\r\nunit 1 \r\n", {"/cat/unit 1.qzt"}, {}},
        CatalogueCase{"AllMissing", "/cat", "a\r\nb\r\n", {}, {}},
        CatalogueCase{"NulEndsTheText", "/cat", std::string("unit 1\r\n\0unit 1\r\n", 17), {"/cat/unit 1.qzt"},
                      {{"/cat/unit 1.qzt", "unit 1"}}},
        CatalogueCase{"GbkNames", "/cat", "\xB5\xDA\xD2\xBB\\\xB5\xDA\x81\x5C", {"/cat/第一/第乗.qzt"},
                      {{"/cat/第一/第乗.qzt", "第乗"}}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(Catalogue, ReadFromBesideTheProgram) {
  auto made = createWorkFolder();
  ASSERT_TRUE(made.ok());
  const fs::path folder = *made;

  const auto none = loadCatalogue(folder);
  ASSERT_TRUE(none.ok());
  EXPECT_FALSE(none->present);

  fs::create_directory(folder / "sub");
  std::ofstream(folder / "unit 1.qzt") << "paper";
  std::ofstream(folder / "sub" / "unit 2.qzt") << "paper";
  fs::create_directory(folder / "dir.qzt");  // a folder is no paper
  std::ofstream(folder / kCatalogueFileName) << "\\unit 1\r\nsub\\unit 2.qzt\r\nmissing\r\ndir\r\n";

  const auto loaded = loadCatalogue(folder);
  ASSERT_TRUE(loaded.ok()) << loaded.error().message;
  EXPECT_TRUE(loaded->present);
  ASSERT_EQ(loaded->entries.size(), 2u);
  EXPECT_TRUE(fs::equivalent(loaded->entries[0].path, folder / "unit 1.qzt"));
  EXPECT_EQ(loaded->entries[0].displayName, "unit 1");
  EXPECT_TRUE(fs::equivalent(loaded->entries[1].path, folder / "sub" / "unit 2.qzt"));
  EXPECT_EQ(loaded->entries[1].displayName, "unit 2");

  std::ofstream(folder / kCatalogueFileName, std::ios::trunc) << "missing\r\n";
  const auto empty = loadCatalogue(folder);
  ASSERT_TRUE(empty.ok());
  EXPECT_TRUE(empty->present);
  EXPECT_TRUE(empty->entries.empty());
  removeWorkFolder(folder);
}

}  // namespace
}  // namespace qzt
