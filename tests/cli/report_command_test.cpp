#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "paper/format.h"
#include "side/answer_file.h"

namespace qzt::cli::testing {
namespace {

using nlohmann::json;
namespace f = qzt::format;

// Comments by percentage, so every graded file also carries a comment.
writer::PaperSpec classPaper() {
  writer::PaperSpec spec;
  spec.title = gbk("期中测验");
  spec.paperKey = "KEY-1";
  spec.commentsByPercent = true;
  spec.questions = {{gbk("一"), f::kKindHeading, 0, gbk("一、选择题"), 0},
                    {"1", f::kKindSingle, 4, "A", 2},
                    {"2,\"b\"", f::kKindMultiple, 4, "A C", 3},
                    {"3", f::kKindText, 0, gbk("北京"), 5},
                    {"4", f::kKindSingle, 4, "B", 2}};
  spec.comments = gbk("评语 分数:0-59\r\n加油\r\n评语 分数:60-100\r\n很好\r\n");
  return spec;
}

std::string answers(const std::vector<std::string>& rows) {
  std::string file = "KEY-1\r\n\r\n";
  for (const auto& r : rows) file += gbk(r) + "\r\n";
  return file;
}

class ReportTest : public CliTest {
 protected:
  // A class folder with a sub-folder, a file of another paper and a file
  // that is not an answer file; names chosen so sorting matters.
  std::string writeClass() {
    writeBytes(answers({"A", "CA", "北京", "B"}), "class/b.da");
    writeBytes(answers({"B", "A C", "北京 ", ""}), "class/a,1.da");
    writeBytes(answers({"", "", "", ""}), "class/sub/c.DA");
    writeBytes("KEY-2\r\n", "class/sub/d.da");
    writeBytes("not answers", "class/notes.txt");
    return arg("class");
  }
};

TEST_F(ReportTest, EachFileIsWhatQztGradeGives) {
  const std::string paper = writePaper(classPaper());
  const Outcome r = qzt({"report", paper, writeClass(), arg("missing.da"), "--json"});
  ASSERT_EQ(r.status, kDone) << r.err;
  const json j = json::parse(r.out);
  json paperJson = j["paper"];
  EXPECT_EQ(paperJson["date"].get<std::string>().size(), std::string("2026-12-11 08:30 UTC").size());
  paperJson.erase("date");
  EXPECT_EQ(paperJson, json::parse(R"({"title": "期中测验", "file": "paper.qzt", "key": "KEY-1", "questions": 4,
                                       "total": 12.0})"));

  const std::vector<std::string> order = {"class/a,1.da", "class/b.da", "class/sub/c.DA", "class/sub/d.da",
                                          "missing.da"};
  ASSERT_EQ(j["files"].size(), order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const json& file = j["files"][i];
    SCOPED_TRACE(order[i]);
    EXPECT_EQ(file["file"], arg(order[i]));
    const Outcome graded = qzt({"grade", paper, arg(order[i]), "--json"});
    if (graded.status != kDone) {
      EXPECT_EQ(file.size(), 2u);
      EXPECT_FALSE(file["error"].get<std::string>().empty());
      continue;
    }
    const json g = json::parse(graded.out);
    for (const char* key : {"report", "total", "score", "rate", "comment"}) EXPECT_EQ(file[key], g[key]) << key;
    json results = json::array();
    for (const json& row : g["rows"]) results.push_back(row["result"] == "√");
    EXPECT_EQ(file["results"], results);
  }
  EXPECT_EQ(j["files"][3]["error"], qzt::kAnswersDoNotFit);
  EXPECT_EQ(j["files"][4]["error"], "cannot read: no such file");
  EXPECT_EQ(j["summary"]["count"], 3);
  EXPECT_EQ(j["summary"]["refused"], 2);
  EXPECT_EQ(j["questions"][1]["label"], "2,\"b\"");
  EXPECT_EQ(j["questions"][1]["answers"], json::parse(R"([{"answer": "A C", "count": 2}, {"answer": "", "count": 1}])"));
  EXPECT_EQ(r.err, "qzt: " + arg("class/sub/d.da") + ": " + qzt::kAnswersDoNotFit + "\nqzt: " + arg("missing.da") +
                       ": cannot read: no such file\n");
}

TEST_F(ReportTest, TerminalTableAndSummary) {
  const Outcome r = qzt({"report", writePaper(classPaper()), writeClass()});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(r.out, arg("class/a,1.da") + "\t总分：12 得分：3 正确率：25\n" +
                       arg("class/b.da") + "\t总分：12 得分：12 正确率：100\n" +
                       arg("class/sub/c.DA") + "\t总分：12 得分：0 正确率：0\n" +
                       arg("class/sub/d.da") + "\trefused: " + qzt::kAnswersDoNotFit + "\n"
                       "\n"
                       "graded 3, refused 1\n"
                       "mean 5  median 3  stdev 5.1  min 0  max 12\n"
                       "reliability (alpha) 0.85  sem 2.38\n"
                       "pass 33.33%  excellent 33.33%  low 66.67%\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(ReportTest, CsvHasAByteOrderMarkAndQuotedFields) {
  const Outcome r = qzt({"report", writePaper(classPaper()), writeClass(), "--csv", arg("class.csv")});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(readFile(path("class.csv")),
            "\xEF\xBB\xBF文件,得分,总分,正确率,1,\"2,\"\"b\"\"\",3,4\r\n"
            "\"" + arg("class/a,1.da") + "\",3,12,25,0,1,0,0\r\n" +
            arg("class/b.da") + ",12,12,100,1,1,1,1\r\n" +
            arg("class/sub/c.DA") + ",0,12,0,0,0,0,0\r\n");
}

TEST_F(ReportTest, HtmlPageIsWritten) {
  const Outcome r = qzt({"report", writePaper(classPaper()), writeClass(), "--html", arg("class.html")});
  ASSERT_EQ(r.status, kDone) << r.err;
  const std::string page = readFile(path("class.html"));
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<h1>期中测验</h1>"), std::string::npos);
}

// Refused before grading: the student's file is left as it was, nothing is
// written.
TEST_F(ReportTest, OutputOverAnInputIsRefused) {
  const std::string paper = writePaper(classPaper());
  writeClass();
  const Outcome r = qzt({"report", paper, arg("class"), "--csv", arg("r.csv"), "--html", arg("class/sub/../b.da")});
  EXPECT_EQ(r.status, kUsage);
  EXPECT_EQ(r.err, "qzt: --html " + arg("class/sub/../b.da") + " would overwrite an input, " + arg("class/b.da") + "\n");
  EXPECT_EQ(readFile(path("class/b.da")), answers({"A", "CA", "北京", "B"}));
  EXPECT_FALSE(fs::exists(path("r.csv")));
}

// A file named twice is graded once, and the report says so.
TEST_F(ReportTest, FileNamedTwiceCountsOnce) {
  const Outcome r = qzt({"report", writePaper(classPaper()), writeClass(), arg("class/b.da"), "--json"});
  ASSERT_EQ(r.status, kDone) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["files"].size(), 4u);
  EXPECT_EQ(j["summary"]["duplicates"], 1);
  EXPECT_NE(r.err.find("1 name(s) of a file already listed, counted once"), std::string::npos) << r.err;
}

enum class PaperKind { Plain, Locked, NotAPaper, Missing };

struct StatusCase {
  const char* name;
  PaperKind paper;
  std::vector<std::string> answers;  // names in the scratch folder: fit.da, other.da exist
  std::vector<std::string> options;  // "@name" is a name in the scratch folder
  int status;
  const char* message;  // part of stderr
};

class ReportStatus : public ReportTest, public ::testing::WithParamInterface<StatusCase> {
 protected:
  std::string paper(PaperKind kind) {
    writer::PaperSpec spec = classPaper();
    switch (kind) {
      case PaperKind::Plain:
        return writePaper(spec);
      case PaperKind::Locked:
        spec.openPassword = "open";
        spec.gradePassword = "mark";
        return writePaper(spec);
      case PaperKind::NotAPaper:
        return writeBytes(std::string(2000, 'x'), "paper.qzt");
      case PaperKind::Missing:
        break;
    }
    return arg("paper.qzt");
  }
};

TEST_P(ReportStatus, ExitStatus) {
  const StatusCase& c = GetParam();
  writeBytes(answers({"", "", "", ""}), "fit.da");
  writeBytes("KEY-2\r\n", "other.da");
  fs::create_directories(path("empty-folder"));
  std::vector<std::string> args{"report", paper(c.paper)};
  for (const auto& name : c.answers) args.push_back(arg(name));
  for (const auto& option : c.options) args.push_back(option[0] == '@' ? arg(option.substr(1)) : option);
  const Outcome r = qzt(args);
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Report, ReportStatus,
    ::testing::Values(
        StatusCase{"NoFileFits", PaperKind::Plain, {"other.da", "empty-folder"}, {}, kAnswersDoNotFit,
                   "no answer file fits"},
        StatusCase{"NoAnswerFilesFound", PaperKind::Plain, {"empty-folder"}, {}, kAnswersDoNotFit,
                   "no answer files (*.da) were found"},
        StatusCase{"HtmlOverAnAnswerFile", PaperKind::Plain, {"fit.da"}, {"--html", "@fit.da"}, kUsage,
                   "would overwrite an input"},
        StatusCase{"CsvAndHtmlTheSameFile", PaperKind::Plain, {"fit.da"}, {"--csv", "@r.out", "--html", "@r.out"},
                   kUsage, "would overwrite another output"},
        StatusCase{"NotAPaper", PaperKind::NotAPaper, {"fit.da"}, {}, f::kStateNotAPaper, "不是卷舟格式试卷"},
        StatusCase{"MissingPaper", PaperKind::Missing, {"fit.da"}, {}, kUnreadable, "paper.qzt"},
        StatusCase{"NoOpenPassword", PaperKind::Locked, {"fit.da"}, {"--grade-password", "mark"}, kWrongPassword,
                   "--password"},
        StatusCase{"NoGradePassword", PaperKind::Locked, {"fit.da"}, {"--password", "open"}, kWrongPassword,
                   "--grade-password"},
        StatusCase{"WrongGradePassword", PaperKind::Locked, {"fit.da"},
                   {"--password", "open", "--grade-password", "Mark"}, kWrongPassword, "密码错误2"},
        StatusCase{"BothPasswords", PaperKind::Locked, {"fit.da"}, {"--password", "open", "--grade-password", "mark"},
                   kDone, ""},
        StatusCase{"OneFileFits", PaperKind::Plain, {"other.da", "fit.da"}, {"--json"}, kDone, "other.da"},
        StatusCase{"NoAnswers", PaperKind::Plain, {}, {}, kUsage, "ANSWERS"},
        StatusCase{"CsvCannotBeWritten", PaperKind::Plain, {"fit.da"}, {"--csv", "@fit.da/x.csv"}, kUnreadable,
                   "cannot write"}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace qzt::cli::testing
