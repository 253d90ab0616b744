#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "paper/format.h"
#include "paper/unpack.h"
#include "side/answer_file.h"

namespace qzt::cli::testing {
namespace {

using nlohmann::json;
namespace f = qzt::format;

// Four graded questions between a heading and an ungraded kind-5 row: a
// single choice A (2), a multiple choice "A C" (3), a text answer stored
// as abc and read back as ABC (5), a single choice B (2).
writer::PaperSpec fourQuestions() {
  writer::PaperSpec spec;
  spec.paperKey = "KEY-1";
  spec.commentsByPercent = true;
  spec.questions = {{gbk("一"), f::kKindHeading, 0, gbk("一、选择题"), 0, 7},
                    {"1", f::kKindSingle, 4, "A", 2, 7},
                    {"2", f::kKindMultiple, 4, "A C", 3, 11},
                    {"3", f::kKindText, 0, "abc", 5, 200},
                    {"4", f::kKindSingle, 4, "B", 2, 6},
                    {"5", 5, 2, "A", 4, 7}};
  spec.comments = gbk("评语 分数:0-59\r\n加油\r\n再看看注释\r\n评语 分数:60-100\r\n很好\r\n");
  return spec;
}

// Letters in any order and with any neighbours are taken, as the reader's
// import takes them; the text answer is compared as typed.
const std::string kAnswers = "KEY-1\r\n\r\nA\r\nCxA\r\nabc\r\n\r\nA\r\n";

class GradeTest : public CliTest {};

TEST_F(GradeTest, PrintsTheScoreLineTheRowsAndTheComment) {
  const Outcome r = qzt({"grade", writePaper(fourQuestions()), writeBytes(kAnswers, "a.da")});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(r.out,
            "总分：12 得分：5 正确率：41.67\n"
            "1\t√\tA\n"
            "2\t√\tA C\n"
            "3\tΧ\tABC\n"
            "4\tΧ\tB\n"
            "\n"
            "加油\n"
            "再看看注释\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(GradeTest, JsonHoldsTheWholeReport) {
  const Outcome r = qzt({"grade", writePaper(fourQuestions()), writeBytes(kAnswers, "a.da"), "--json"});
  ASSERT_EQ(r.status, kDone) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["report"], "总分：12 得分：5 正确率：41.67");
  EXPECT_EQ(j["total"], 12.0);
  EXPECT_EQ(j["score"], 5.0);
  EXPECT_EQ(j["rate"], 41.67);
  EXPECT_EQ(j["selection"], 42.0);
  EXPECT_EQ(j["comment"], json({"加油", "再看看注释"}));
  const json expected = json::parse(R"([
    {"row": 2, "label": "1", "kind": "single", "answer": "A", "correct": "A", "result": "√"},
    {"row": 3, "label": "2", "kind": "multiple", "answer": "A C", "correct": "A C", "result": "√"},
    {"row": 4, "label": "3", "kind": "text", "answer": "abc", "correct": "ABC", "result": "Χ"},
    {"row": 5, "label": "4", "kind": "single", "answer": "", "correct": "B", "result": "Χ"}])");
  EXPECT_EQ(j["rows"], expected);
}

TEST_F(GradeTest, RateAndCommentAreNullWhenNotShown) {
  writer::PaperSpec spec;
  spec.questions = {{"1", f::kKindSingle, 4, "A", 1, 7}};
  const Outcome r = qzt({"grade", writePaper(spec), writeBytes("KEY-1\r\nA\r\n", "a.da"), "--json"});
  ASSERT_EQ(r.status, kDone) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["report"], "总分：1 得分：1");
  EXPECT_TRUE(j["rate"].is_null());
  EXPECT_EQ(j["selection"], 1.0) << "by raw score";
  EXPECT_TRUE(j["comment"].is_null());
}

struct MisfitCase {
  const char* name;
  std::string file;
  const char* message;
};

class GradeMisfit : public GradeTest, public ::testing::WithParamInterface<MisfitCase> {};

TEST_P(GradeMisfit, RefusesAnswersThatDoNotFitThePaper) {
  const Outcome r = qzt({"grade", writePaper(fourQuestions()), writeBytes(GetParam().file, "a.da")});
  EXPECT_EQ(r.status, cli::kAnswersDoNotFit);
  EXPECT_EQ(r.err, std::string(GetParam().message) + "\n");
  EXPECT_TRUE(r.out.empty());
}

INSTANTIATE_TEST_SUITE_P(Grade, GradeMisfit,
                         ::testing::Values(MisfitCase{"OtherKey", "KEY-2\r\n\r\nA\r\nCA\r\nabc\r\n\r\nA\r\n", qzt::kAnswersDoNotFit},
                                           MisfitCase{"KeyInOtherCase", "key-1\r\n\r\nA\r\nCA\r\nabc\r\n\r\nA\r\n", qzt::kAnswersDoNotFit},
                                           MisfitCase{"OneLineTooMany", kAnswers + "\r\n", qzt::kAnswersDoNotFit},
                                           MisfitCase{"OneLineTooFew", "KEY-1\r\n\r\nA\r\nCA\r\nabc\r\n\r\n", qzt::kAnswersDoNotFit},
                                           MisfitCase{"Empty", "", kAnswerFileEmpty}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(GradeTest, MissingOrHugeAnswerFileCannotBeRead) {
  const std::string paper = writePaper(fourQuestions());
  const Outcome missing = qzt({"grade", paper, arg("none.da")});
  EXPECT_EQ(missing.status, kUnreadable);
  EXPECT_TRUE(missing.out.empty());
  EXPECT_EQ(missing.err, "qzt: cannot read " + arg("none.da") + "\n");

  writeFile(path("huge.da"), kAnswers);
  fs::resize_file(path("huge.da"), kAnswerFileLimit + 1);  // sparse
  const Outcome huge = qzt({"grade", paper, arg("huge.da")});
  EXPECT_EQ(huge.status, kUnreadable);
  EXPECT_EQ(huge.err, "qzt: cannot read " + arg("huge.da") + ": too large for an answer file\n");
}

struct GradePasswordCase {
  const char* name;
  std::vector<std::string> passwords;
  int status;
  const char* message;
};

class GradePasswords : public GradeTest, public ::testing::WithParamInterface<GradePasswordCase> {};

TEST_P(GradePasswords, OpenAndGradePasswordsAreBothNeeded) {
  writer::PaperSpec spec = fourQuestions();
  spec.openPassword = "open";
  spec.gradePassword = gbk("批改");
  std::vector<std::string> args{"grade", writePaper(spec), writeBytes(kAnswers, "a.da")};
  args.insert(args.end(), GetParam().passwords.begin(), GetParam().passwords.end());
  const Outcome r = qzt(args);
  EXPECT_EQ(r.status, GetParam().status) << r.err;
  EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
  EXPECT_EQ(r.out.empty(), GetParam().status != kDone);
}

INSTANTIATE_TEST_SUITE_P(
    Grade, GradePasswords,
    ::testing::Values(GradePasswordCase{"None", {}, kWrongPassword, "--password"},
                      GradePasswordCase{"OpenOnly", {"--password", "open"}, kWrongPassword, "--grade-password"},
                      GradePasswordCase{"WrongOpen", {"--password", "Open", "--grade-password", "批改"}, kWrongPassword, "密码错误1"},
                      GradePasswordCase{"WrongGrade", {"--password", "open", "--grade-password", "批"}, kWrongPassword, "密码错误2"},
                      GradePasswordCase{"Both", {"--password", "open", "--grade-password", "批改"}, kDone, ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(GradeTest, AQuestionTableOutsideTheFileCannotBeRead) {
  writer::BuiltPaper paper = writer::buildPaper(fourQuestions());
  writer::patchHeader(paper, f::kQuestionTablePos, static_cast<std::int32_t>(paper.bytes.size()) - 10);
  const Outcome r = qzt({"grade", writeBytes(paper.bytes, "p.qzt"), writeBytes(kAnswers, "a.da")});
  EXPECT_EQ(r.status, kUnreadable);
  EXPECT_NE(r.err.find("gd2"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
}

TEST_F(GradeTest, BrokenCommentsStillShowTheScoreButFail) {
  writer::BuiltPaper paper = writer::buildPaper(fourQuestions());
  // Inside the title: its bytes claim an unpacked length no block could give.
  writer::patchHeader(paper, f::kCommentsPos, f::kTitle.offset + 1);
  const Outcome r = qzt({"grade", writeBytes(paper.bytes, "p.qzt"), writeBytes(kAnswers, "a.da")});
  EXPECT_EQ(r.status, kUnpackFailed);
  EXPECT_EQ(r.out.rfind("总分：12 得分：5 正确率：41.67\n", 0), 0u) << r.out;
  EXPECT_EQ(r.err.rfind(errorBoxText(f::kStepInflate), 0), 0u) << r.err;
}

// The demo paper, packed from its manifest, grades as its notes say.
struct DemoCase {
  const char* name;
  std::vector<std::string> lines;  // after the key, one per row
  const char* scoreLine;
  const char* firstCommentLine;
};

class GradeDemo : public GradeTest, public ::testing::WithParamInterface<DemoCase> {};

TEST_P(GradeDemo, GivesTheScoreAndComment) {
  ASSERT_EQ(qzt({"pack", std::string(QZT_EXAMPLES_DIR) + "/demo/manifest.json", arg("demo.qzt")}).status, kDone);
  std::string answers = "DEMO-2026-01\r\n";
  for (const auto& line : GetParam().lines) answers += gbk(line) + "\r\n";
  const Outcome r = qzt({"grade", arg("demo.qzt"), writeBytes(answers, "a.da"), "--json"});
  ASSERT_EQ(r.status, kDone) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["report"], GetParam().scoreLine);
  ASSERT_TRUE(j["comment"].is_array());
  EXPECT_EQ(j["comment"][0], GetParam().firstCommentLine);
}

INSTANTIATE_TEST_SUITE_P(
    Grade, GradeDemo,
    ::testing::Values(DemoCase{"AllRight", {"", "B", "C", "", "AC", "BCD", "", "12", "北京"}, "总分：20 得分：20 正确率：100", "非常好！"},
                      DemoCase{"TextsWrong", {"", "B", "C", "", "AC", "BCD", "", "12 ", "南京"}, "总分：20 得分：10 正确率：50", "还需努力。"},
                      DemoCase{"Empty", {"", "", "", "", "", "", "", "", ""}, "总分：20 得分：0 正确率：0", "还需努力。"},
                      DemoCase{"ChoicesWrong", {"", "A", "C", "", "A", "BCD", "", "12", "北京"}, "总分：20 得分：15 正确率：75", "不错！"}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace qzt::cli::testing
