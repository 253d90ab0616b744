#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "paper/header.h"
#include "paper/question_table.h"

namespace qzt::cli::testing {
namespace {

using nlohmann::json;

class PackTest : public CliTest {
 protected:
  Outcome pack(const std::string& manifestText) {
    writeFile(path("m.json"), manifestText);
    return qzt({"pack", arg("m.json"), arg("p.qzt")});
  }
  Outcome pack(const json& manifest) { return pack(manifest.dump()); }

  QuestionTable table() {
    const auto header = readHeader(path("p.qzt"), 0);
    EXPECT_TRUE(header.ok());
    auto t = QuestionTable::load(path("p.qzt"), header.value());
    EXPECT_TRUE(t.ok());
    return t.value();
  }
};

struct BadManifest {
  const char* name;
  std::string text;
  int status;
};

class PackRefuses : public PackTest, public ::testing::WithParamInterface<BadManifest> {};

TEST_P(PackRefuses, AManifestThatMakesNoPaper) {
  const Outcome r = pack(GetParam().text);
  EXPECT_EQ(r.status, GetParam().status);
  EXPECT_EQ(r.err.rfind("qzt: ", 0), 0u) << r.err;
  EXPECT_FALSE(fs::exists(path("p.qzt")));
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string withQuestion(const json& q) { return json{{"questions", {q}}}.dump(); }

INSTANTIATE_TEST_SUITE_P(
    Pack, PackRefuses,
    ::testing::Values(
        BadManifest{"NotJson", "{\"title\": ", kUsage}, BadManifest{"NotAnObject", "[1, 2]", kUsage},
        BadManifest{"TitleNotText", R"({"title": 5})", kUsage},
        // 51 Chinese characters are 102 bytes in GBK; the title holds 100.
        BadManifest{"TitleTooLong", json{{"title", repeat("题", 51)}}.dump(), kUsage},
        BadManifest{"KeyTooLong", json{{"key", repeat("k", 21)}}.dump(), kUsage},
        BadManifest{"CaptionTooLong", json{{"about_caption", "关于这份试卷"}}.dump(), kUsage},
        BadManifest{"PasswordTooLong", json{{"open_password", repeat("p", 27)}}.dump(), kUsage},
        BadManifest{"BadPackForm", R"({"pack_form": "zip"})", kUsage},
        BadManifest{"QuestionsNotAList", R"({"questions": {"label": "1"}})", kUsage},
        BadManifest{"UnknownKind", withQuestion({{"kind", "essay"}}), kUsage},
        BadManifest{"OptionsNotANumber", withQuestion({{"options", "four"}}), kUsage},
        BadManifest{"LabelTooLong", withQuestion({{"label", repeat("号", 21)}}), kUsage},
        BadManifest{"AnswerTooLong", withQuestion({{"kind", "text"}, {"answer", repeat("a", 161)}}), kUsage},
        BadManifest{"KeyOutOfRange", withQuestion({{"answer", "A"}, {"key", 256}}), kUsage},
        BadManifest{"CommentWithoutRange", R"({"comments": [{"lines": ["x"]}]})", kUsage},
        BadManifest{"MissingPage", R"({"page": "nowhere.html"})", kUnreadable}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(PackTest, MissingManifestOrUnwritableOutputCannotBeRead) {
  EXPECT_EQ(qzt({"pack", arg("none.json"), arg("p.qzt")}).status, kUnreadable);
  writeFile(path("m.json"), "{}");
  EXPECT_EQ(qzt({"pack", arg("m.json"), arg("no/such/folder/p.qzt")}).status, kUnreadable);
}

struct KindCase {
  json question;
  std::int32_t kind;
  std::int32_t options;
  double marks;
  ByteString answer;  // as the reader reads it back (upper-cased)
};

TEST_F(PackTest, QuestionsAreStoredAsTheReaderReadsThem) {
  const std::vector<KindCase> cases = {
      {{{"label", "1"}, {"kind", "single"}, {"answer", "b"}}, 1, 4, 1, "B"},
      {{{"label", "2"}, {"kind", "multiple"}, {"answer", {"A", "C"}}, {"marks", 2.5}}, 2, 4, 2.5, "A C"},
      {{{"label", "3"}, {"kind", "multiple"}, {"options", 6}, {"answer", "A F"}}, 2, 6, 1, "A F"},
      {{{"label", "填空"}, {"kind", "text"}, {"answer", "北京"}, {"marks", 5}}, 3, 0, 5, gbk("北京")},
      {{{"kind", "heading"}, {"text", "一、选择题"}}, 100, 0, 0, gbk("一、选择题")},
      {{{"label", "7"}, {"kind", 7}, {"options", 2}, {"answer", "A"}}, 7, 2, 0, "A"},
  };
  json questions = json::array();
  for (const auto& c : cases) questions.push_back(c.question);
  ASSERT_EQ(pack(json{{"key", "k"}, {"questions", questions}}).status, kDone);

  const QuestionTable t = table();
  ASSERT_EQ(t.count(), static_cast<int>(cases.size()));
  for (int q = 1; q <= t.count(); ++q) {
    const KindCase& c = cases[q - 1];
    SCOPED_TRACE(c.question.dump());
    EXPECT_EQ(t.question(q).kind(), c.kind);
    EXPECT_EQ(t.question(q).optionCount(), c.options);
    EXPECT_EQ(t.question(q).marks(), c.marks);
    EXPECT_EQ(t.question(q).answer(), c.answer);
    EXPECT_EQ(t.question(q).rowLabel(), gbk(c.question.value("label", "")));
  }
}

// The stored answer ends at its first zero byte: a key that would turn a
// byte into zero is never chosen, and refused when given.
TEST_F(PackTest, NoKeyCutsTheAnswerShort) {
  // Under key 7 the shift is 14, and 0xF2 + 14 = 0x100.
  const std::string answer = gbkToUtf8("\xF2\xA1\xB1\xB1");
  ASSERT_EQ(pack(withQuestion({{"kind", "text"}, {"answer", answer}})).status, kDone);
  EXPECT_EQ(table().question(1).answer(), "\xF2\xA1\xB1\xB1");

  const Outcome r = pack(withQuestion({{"kind", "text"}, {"answer", answer}, {"key", 7}}));
  EXPECT_EQ(r.status, kUsage);
  EXPECT_NE(r.err.find("key"), std::string::npos);
}

struct WarningCase {
  const char* name;
  json question;
  const char* warning;  // "" when none is due
};

class PackWarns : public PackTest, public ::testing::WithParamInterface<WarningCase> {};

TEST_P(PackWarns, AboutAnswersNoCandidateCanGive) {
  const Outcome r = pack(json{{"key", "k"}, {"questions", {GetParam().question}}});
  ASSERT_EQ(r.status, kDone) << r.err;
  if (*GetParam().warning == '\0') {
    EXPECT_EQ(r.err, "");
  } else {
    EXPECT_EQ(r.err.rfind("qzt: warning: question 1: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(GetParam().warning), std::string::npos) << r.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pack, PackWarns,
    ::testing::Values(
        WarningCase{"ChoiceInOrder", {{"kind", "multiple"}, {"answer", {"A", "C"}}}, ""},
        WarningCase{"EmptyChoice", {{"kind", "single"}, {"answer", ""}}, ""},
        WarningCase{"TextInCapitals", {{"kind", "text"}, {"answer", "ABC 12"}}, ""},
        WarningCase{"ChineseText", {{"kind", "text"}, {"answer", "北京"}}, ""},
        WarningCase{"LettersWithoutBlanks", {{"kind", "multiple"}, {"answer", "AC"}}, "chosen letters"},
        WarningCase{"LettersOutOfOrder", {{"kind", "multiple"}, {"answer", "C A"}}, "chosen letters"},
        WarningCase{"LetterBeyondOptions", {{"kind", "single"}, {"options", 3}, {"answer", "D"}}, "chosen letters"},
        WarningCase{"TrailingBlank", {{"kind", "single"}, {"answer", "A "}}, "chosen letters"},
        WarningCase{"LowerCaseText", {{"kind", "text"}, {"answer", "abc"}}, "upper-cases"},
        // 0x81 0x61: the second byte is a lower-case letter's code.
        WarningCase{"ChangedCharacter", {{"kind", "text"}, {"answer", gbkToUtf8("\x81\x61")}}, "no typed text"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(PackTest, TheDemoPacksWithoutWarnings) {
  const Outcome r = qzt({"pack", std::string(QZT_EXAMPLES_DIR) + "/demo/manifest.json", arg("demo.qzt")});
  EXPECT_EQ(r.status, kDone);
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace qzt::cli::testing
