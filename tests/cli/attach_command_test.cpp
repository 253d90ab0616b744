#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "paper/format.h"
#include "shell/attached_slot.h"

namespace qzt::cli::testing {
namespace {

using nlohmann::json;
namespace f = qzt::format;

std::string slotField() { return std::string(reinterpret_cast<const char*>(kAttachedSlot), kSlotFieldSize); }

struct ReaderCase {
  const char* name;
  std::string program;
};

class AttachTest : public CliTest, public ::testing::WithParamInterface<ReaderCase> {
 protected:
  writer::PaperSpec paperSpec() {
    writer::PaperSpec spec;
    spec.title = gbk("附带的试卷");
    spec.paperKey = "ATT-1";
    spec.page = {writer::GroupEntry::file(gbk("首页.html"), "<p>page</p>"), writer::GroupEntry::folder(gbk("首页.html.files")),
                 writer::GroupEntry::file("a.css", "p{}")};
    spec.comments = gbk("评语 分数:0-100\r\n附带评语\r\n");
    spec.questions = {{"1", f::kKindSingle, 4, "C", 3, 7}};
    return spec;
  }
};

// Everything a command reads lies behind the reader's bytes, so each
// position in the attached header must count from the start of the copy.
TEST_P(AttachTest, TheCopyOpensUnpacksAndGradesAtItsOffset) {
  const std::string reader = writeBytes(GetParam().program, "reader");
  const Outcome a = qzt({"attach", reader, writePaper(paperSpec()), arg("copy")});
  ASSERT_EQ(a.status, kDone) << a.err;

  const auto offset = attachedPaperOffset(path("copy"));
  ASSERT_TRUE(offset.ok() && offset.value());
  EXPECT_EQ(*offset.value(), static_cast<std::int64_t>(GetParam().program.size()));
  EXPECT_EQ(a.out, "attached at byte " + std::to_string(*offset.value()) + "\n");
  const std::string at = std::to_string(*offset.value());

  Outcome r = qzt({"info", arg("copy"), "--offset", at, "--json"});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(json::parse(r.out)["title"], "附带的试卷");

  r = qzt({"extract", arg("copy"), arg("out"), "--offset", at});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(readFile(path("out/首页.html")), "<p>page</p>");
  EXPECT_EQ(readFile(path("out/首页.html.files/a.css")), "p{}");

  r = qzt({"grade", arg("copy"), writeBytes("ATT-1\r\nC\r\n", "a.da"), "--offset", at});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(r.out, "总分：3 得分：3 正确率：100\n1\t√\tC\n\n附带评语\n");
}

INSTANTIATE_TEST_SUITE_P(
    Attach, AttachTest,
    ::testing::Values(ReaderCase{"MarkedSlot", "\x7f" "ELF" + std::string(3000, 'e') + slotField() + std::string(700, 'z')},
                      ReaderCase{"WindowsSlot", "MZ" + std::string(2400, 'w')}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CliTest, AttachRefusesAReaderWithoutSlotOrANonPaper) {
  const std::string paper = writePaper({});
  Outcome r = qzt({"attach", writeBytes(std::string(3000, 'x'), "plain"), paper, arg("copy")});
  EXPECT_EQ(r.status, kUnreadable);
  EXPECT_FALSE(fs::exists(path("copy")));

  r = qzt({"attach", writeBytes("MZ" + std::string(2400, 'w'), "reader"), writeBytes(std::string(2000, 'n'), "n.qzt"),
           arg("copy")});
  EXPECT_EQ(r.status, f::kStateNotAPaper);
  EXPECT_FALSE(fs::exists(path("copy")));
}

}  // namespace
}  // namespace qzt::cli::testing
