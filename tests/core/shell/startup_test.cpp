#include "shell/startup.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "shell/attached_slot.h"
#include "shell/work_folder.h"
#include "util/bytes.h"

namespace fs = std::filesystem;

namespace qzt {
namespace {

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    auto made = createWorkFolder();
    ASSERT_TRUE(made.ok());
    folder = *made;
    std::ofstream(folder / "My Paper.QZT") << std::string(300, 'p');
  }
  void TearDown() override { removeWorkFolder(folder); }

  // An ELF-like program whose slot holds v.
  fs::path program(std::int32_t v) {
    std::string bytes = "\x7f" "ELF" + std::string(4000, '\0');
    std::string field(reinterpret_cast<const char*>(kAttachedSlot), kSlotMarkerSize);
    appendFixed32(field, static_cast<std::uint32_t>(v));
    bytes.replace(64, field.size(), field);
    const fs::path p = folder / "reader";
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
    return p;
  }

  fs::path folder;
};

TEST_F(Startup, AttachedPaperWinsOverTheCommandLine) {
  const auto r = startupPaper(program(2000), {(folder / "My Paper.QZT").string()});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->path, folder / "reader");
  EXPECT_EQ(r->offset, 2000);
  EXPECT_TRUE(r->attached);
}

TEST_F(Startup, CommandLinePaperOpensOnlyWhenItExists) {
  const fs::path reader = program(0);
  // Split at the blank as a shell would split an unquoted path.
  const std::string dir = folder.string();
  const auto found = startupPaper(reader, {dir + "/My", "Paper.QZT"});
  ASSERT_TRUE(found.ok());
  EXPECT_EQ(found->path, folder / "My Paper.QZT");
  EXPECT_EQ(found->offset, 0);
  EXPECT_FALSE(found->attached);

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {dir + "/my paper.qzt"}, {"\"" + dir + "/My Paper.QZT\""}, {dir}}) {
    const auto none = startupPaper(reader, args);
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none->path.empty()) << (args.empty() ? "" : args[0]);
  }
}

TEST_F(Startup, UnreadableProgramOpensNothing) {
  EXPECT_FALSE(startupPaper(folder / "missing", {(folder / "My Paper.QZT").string()}).ok());
}

}  // namespace
}  // namespace qzt
