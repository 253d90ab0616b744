#include <nlohmann/json.hpp>

#include "cli_fixture.h"

namespace qzt::cli::testing {
namespace {

using nlohmann::json;

class InfoTest : public CliTest {
 protected:
  std::string packed(const json& manifest) {
    writeFile(path("page.html"), "<p>page</p>");
    writeFile(path("notes.html"), "<p>notes</p>");
    writeFile(path("m.json"), manifest.dump());
    const Outcome r = qzt({"pack", arg("m.json"), arg("p.qzt")});
    EXPECT_EQ(r.status, kDone) << r.err;
    return arg("p.qzt");
  }
};

TEST_F(InfoTest, PackedSettingsComeBackAsUtf8Json) {
  const std::string paper = packed({{"title", "期中考试：语文"},
                                    {"key", "期中-07"},
                                    {"time_limit", 45},
                                    {"status_text", "共 2 题"},
                                    {"about_caption", "关于"},
                                    {"comments_by_percent", true},
                                    {"page", "page.html"},
                                    {"notes", "notes.html"},
                                    {"comments", "评语 分数:0-100\r\n好\r\n"},
                                    {"questions", {{{"label", "1"}, {"answer", "A"}}, {{"label", "2"}, {"answer", "B"}}}}});
  const Outcome r = qzt({"info", paper, "--json"});
  ASSERT_EQ(r.status, kDone) << r.err;
  const json info = json::parse(r.out);
  EXPECT_EQ(info["title"], "期中考试：语文");
  EXPECT_EQ(info["question_count"], 2);
  EXPECT_EQ(info["time_limit"], 45);
  EXPECT_EQ(info["format_version"], "1.0");
  EXPECT_EQ(info["paper_key"], "期中-07");
  EXPECT_EQ(info["status_text"], "共 2 题");
  EXPECT_EQ(info["about_caption"], "关于");
  EXPECT_EQ(info["has_open_password"], false);
  EXPECT_EQ(info["has_grade_password"], false);
  EXPECT_EQ(info["has_notes"], true);
  EXPECT_EQ(info["has_comments"], true);
  EXPECT_EQ(info["comments_by_percent"], true);
}

TEST_F(InfoTest, AbsentPartsAreReportedAsAbsent) {
  const Outcome r = qzt({"info", packed({{"title", "t"}, {"key", "k"}}), "--json"});
  ASSERT_EQ(r.status, kDone) << r.err;
  const json info = json::parse(r.out);
  EXPECT_EQ(info["has_notes"], false);
  EXPECT_EQ(info["has_comments"], false);
  EXPECT_EQ(info["comments_by_percent"], false);
  EXPECT_EQ(info["question_count"], 0);
}

TEST_F(InfoTest, TellsThatPasswordsExistButNeverShowsThemOrAnswers) {
  const std::string paper = packed({{"title", "t"},
                                    {"key", "k"},
                                    {"open_password", "开门密码"},
                                    {"grade_password", "ZQX-grade"},
                                    {"questions", {{{"label", "1"}, {"kind", "text"}, {"answer", "UNIQUEANSWER"}}}}});
  for (const bool asJson : {false, true}) {
    std::vector<std::string> args{"info", paper};
    if (asJson) args.push_back("--json");
    const Outcome r = qzt(args);
    ASSERT_EQ(r.status, kDone) << r.err;
    EXPECT_EQ(r.out.find("开门密码"), std::string::npos);
    EXPECT_EQ(r.out.find("ZQX-grade"), std::string::npos);
    EXPECT_EQ(r.out.find("UNIQUEANSWER"), std::string::npos);
  }
  const Outcome text = qzt({"info", paper});
  EXPECT_NE(text.out.find("has open password: yes\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("has grade password: yes\n"), std::string::npos) << text.out;
}

TEST_F(InfoTest, TextFormIsOneSettingPerLine) {
  const Outcome r = qzt({"info", packed({{"title", "小测验"}, {"key", "Q1"}, {"time_limit", 20}})});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(r.out.rfind("title: 小测验\nquestion count: 0\ntime limit: 20\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("paper key: Q1\n"), std::string::npos);
}

TEST_F(InfoTest, ReadsAPaperInsideAHostFileAtItsOffset) {
  writer::PaperSpec spec;
  spec.title = gbk("附在程序后的试卷");
  spec.hostPrefix = std::string(5000, 'x');
  const std::string paper = writePaper(spec);

  EXPECT_EQ(qzt({"info", paper}).status, 4) << "byte 0 of the host is no paper";
  const Outcome r = qzt({"info", paper, "--offset", "5000", "--json"});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(json::parse(r.out)["title"], "附在程序后的试卷");
}

}  // namespace
}  // namespace qzt::cli::testing
