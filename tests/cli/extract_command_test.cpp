#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "paper/format.h"
#include "paper/unpack.h"
#include "sheet/exam_session.h"

namespace qzt::cli::testing {
namespace {

using nlohmann::json;
namespace f = qzt::format;

std::string allBytes() {
  std::string s;
  for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
  return s;
}

// A page whose companion folder has Chinese names and a sub-folder.
const std::vector<std::pair<std::string, std::string>> kPageFiles = {
    {"卷/首页.html", "<meta charset=\"utf-8\"><img src=\"首页.html.files/图片/三角形.svg\">"},
    {"卷/首页.html.files/样式.css", "body { color: #123; }"},
    {"卷/首页.html.files/图片/三角形.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>"},
    {"卷/首页.html.files/图片/全部字节.bin", allBytes()},
};

class ExtractTest : public CliTest {
 protected:
  std::string packPage(const json& extra) {
    for (const auto& [name, bytes] : kPageFiles) writeFile(path(name), bytes);
    json manifest = {{"title", "t"}, {"key", "k"}, {"page", "卷/首页.html"}};
    manifest.update(extra);
    writeFile(path("m.json"), manifest.dump());
    const Outcome r = qzt({"pack", arg("m.json"), arg("p.qzt")});
    EXPECT_EQ(r.status, kDone) << r.err;
    return arg("p.qzt");
  }
};

class PageRoundTrip : public ExtractTest, public ::testing::WithParamInterface<json> {};

TEST_P(PageRoundTrip, GivesBackEveryFileByteForByte) {
  const std::string paper = packPage(GetParam());
  const Outcome r = qzt({"extract", paper, arg("out")});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(r.out, arg("out/首页.html") + "\n");
  for (const auto& [name, bytes] : kPageFiles) {
    const std::string inOut = "out/" + name.substr(std::string("卷/").size());
    EXPECT_EQ(readFile(path(inOut)), bytes) << inOut;
  }
}

INSTANTIATE_TEST_SUITE_P(Extract, PageRoundTrip,
                         ::testing::Values(json::object(), json{{"pack_form", "marked"}, {"pack_blocks", 3}},
                                           json{{"pack_forms", {{"卷/首页.html.files/图片/全部字节.bin", "marked"}}}}));

TEST_F(ExtractTest, EachGroupLandsAsTheReaderPlacesIt) {
  writeFile(path("notes.txt"), gbk("注释：答案是 A"));
  writeFile(path("m.json"), json{{"title", "t"},
                                 {"key", "k"},
                                 {"notes", "notes.txt"},
                                 {"hint", "提示：生日"},
                                 {"about", {"关于本卷", "http://example.invalid/"}},
                                 {"comments", {{{"range", "60-79"}, {"lines", {"不错", ""}}}}}}
                                .dump());
  ASSERT_EQ(qzt({"pack", arg("m.json"), arg("p.qzt")}).status, kDone);
  const std::string paper = arg("p.qzt");

  Outcome r = qzt({"extract", paper, arg("s"), "--group", "support"});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(r.out, arg("s/support.txt") + "\n");
  EXPECT_EQ(readFile(path("s/support.txt.files/mmts.txt")), gbk("提示：生日"));
  EXPECT_EQ(readFile(path("s/support.txt.files/about.txt")), gbk("关于本卷\r\nhttp://example.invalid/\r\n"));

  r = qzt({"extract", paper, arg("n"), "--group", "notes"});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(r.out, arg("n/notes.txt") + "\n");
  EXPECT_EQ(readFile(path("n/notes.txt")), gbk("注释：答案是 A"));

  r = qzt({"extract", paper, arg("c"), "--group", "comments"});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(r.out, arg("c/pyfile") + "\n");
  EXPECT_EQ(readFile(path("c/pyfile")), gbk("评语 分数:60-79\r\n不错\r\n\r\n"));
}

TEST_F(ExtractTest, AbsentGroupsUnpackNothingAndSucceed) {
  const std::string paper = writePaper({});
  for (const char* group : {"page", "support", "notes", "comments"}) {
    const Outcome r = qzt({"extract", paper, arg(group), "--group", group});
    EXPECT_EQ(r.status, kDone) << group << r.err;
    EXPECT_TRUE(r.out.empty()) << group;
    EXPECT_TRUE(fs::is_empty(path(group))) << group;
  }
}

// A folder standing where a file goes: the extraction fails, and the
// anchor is printed only when it was written.
TEST_F(ExtractTest, UnwritableTargetFailsAndNamesNoUnwrittenAnchor) {
  writer::PaperSpec spec;
  spec.page = {writer::GroupEntry::file("style.css", "s"), writer::GroupEntry::file("page.html", "p")};
  const std::string paper = writePaper(spec);
  for (const char* blocked : {"page.html", "style.css"}) {
    const std::string out = std::string("out-") + blocked;
    fs::create_directories(path(out + "/" + blocked + "/inside"));
    const Outcome r = qzt({"extract", paper, arg(out)});
    EXPECT_EQ(r.status, kUnpackFailed) << blocked;
    EXPECT_NE(r.err.find(std::string(kBusyTargetText) + " " + arg(out + "/" + blocked)), std::string::npos)
        << r.err;
    const bool anchorWritten = std::string(blocked) != "page.html";
    EXPECT_EQ(r.out, anchorWritten ? arg(out + "/page.html") + "\n" : "") << blocked;
  }
}

// Comments data of fewer than 8 bytes before the end of the file: nothing
// is unpacked and no file is named.
TEST_F(ExtractTest, CommentsCutBeforeTheirFormNameNoFile) {
  writer::PaperSpec spec;
  spec.comments = "x";
  writer::BuiltPaper built = writer::buildPaper(spec);
  writer::patchHeader(built, f::kCommentsPos, static_cast<std::int32_t>(built.bytes.size()) - 3);
  const Outcome r = qzt({"extract", writeBytes(built.bytes, "p.qzt"), arg("c"), "--group", "comments"});
  EXPECT_EQ(r.status, kDone) << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_FALSE(fs::exists(path("c/pyfile")));
}

struct FailureCase {
  const char* name;
  writer::GroupEntry entry;
  int step;
};

class UnpackFailure : public CliTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(UnpackFailure, ExitsWithTheErrorBoxAndWritesNothingOutside) {
  writer::PaperSpec spec;
  spec.page = {writer::GroupEntry::file("ok.html", "fine"), GetParam().entry};
  const Outcome r = qzt({"extract", writePaper(spec), arg("out/w")});
  EXPECT_EQ(r.status, kUnpackFailed);
  EXPECT_EQ(r.err.rfind(errorBoxText(GetParam().step) + "\n", 0), 0u) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(readFile(path("out/w/ok.html")), "fine") << "files before the failure stay";
  EXPECT_FALSE(fs::exists(path("out/evil.html")));
}

INSTANTIATE_TEST_SUITE_P(
    Extract, UnpackFailure,
    ::testing::Values(FailureCase{"BrokenStream", writer::GroupEntry::raw("bad.html", std::string("\x10\0\0\0garbage", 11)), f::kStepInflate},
                      FailureCase{"ShortStream", writer::GroupEntry::raw("short.html", writer::packBlock("abc", 10)), f::kStepInflate},
                      FailureCase{"ParentName", writer::GroupEntry::file("..\\evil.html", "x"), f::kStepFolder},
                      FailureCase{"AbsoluteFolder", writer::GroupEntry::folder("\\evil"), f::kStepFolder}),
    [](const auto& p) { return std::string(p.param.name); });

// Which passwords each group needs: the opening one for all but the
// support group, the grading one too for notes and comments.
struct PasswordCase {
  const char* name;
  const char* group;
  std::vector<std::string> passwords;
  int status;
  const char* message;  // stderr holds it; "" for success
};

class ExtractPasswords : public CliTest, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(ExtractPasswords, AreAskedPerGroup) {
  writer::PaperSpec spec;
  spec.openPassword = gbk("开卷");
  spec.gradePassword = "Grade2";
  spec.page = {writer::GroupEntry::file("p.html", "page")};
  spec.support = {writer::GroupEntry::file("support.txt", "s")};
  spec.notes = {writer::GroupEntry::file("n.html", "notes")};
  spec.comments = gbk("评语 分数:0-1\r\nx\r\n");
  const PasswordCase& c = GetParam();
  std::vector<std::string> args{"extract", writePaper(spec), arg("out"), "--group", c.group};
  args.insert(args.end(), c.passwords.begin(), c.passwords.end());

  const Outcome r = qzt(args);
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  EXPECT_EQ(r.out.empty(), c.status != kDone);
  if (c.status != kDone) {
    EXPECT_FALSE(fs::exists(path("out")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Extract, ExtractPasswords,
    ::testing::Values(
        PasswordCase{"SupportNeedsNone", "support", {}, kDone, ""},
        PasswordCase{"PageWithout", "page", {}, kWrongPassword, "--password"},
        PasswordCase{"PageWrong", "page", {"--password", "开"}, kWrongPassword, "密码错误1"},
        PasswordCase{"PageGivenTheGradePassword", "page", {"--password", "Grade2"}, kWrongPassword, "密码错误1"},
        PasswordCase{"PageRight", "page", {"--password", "开卷"}, kDone, ""},
        PasswordCase{"NotesWithoutGrade", "notes", {"--password", "开卷"}, kWrongPassword, "--grade-password"},
        PasswordCase{"NotesWrongGrade", "notes", {"--password", "开卷", "--grade-password", "grade2"}, kWrongPassword, "密码错误2"},
        PasswordCase{"NotesGradeOnly", "notes", {"--grade-password", "Grade2"}, kWrongPassword, "--password"},
        PasswordCase{"NotesBoth", "notes", {"--password", "开卷", "--grade-password", "Grade2"}, kDone, ""},
        PasswordCase{"CommentsWrongGrade", "comments", {"--password", "开卷", "--grade-password", "x"}, kWrongPassword, "密码错误2"},
        PasswordCase{"CommentsBoth", "comments", {"--password", "开卷", "--grade-password", "Grade2"}, kDone, ""}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace qzt::cli::testing
