#include "author/manifest.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "author/paper_writer.h"
#include "paper/question_table.h"
#include "util/gbk.h"

namespace qzt::writer {
namespace {

using nlohmann::json;

ByteString gbk(const std::string& utf8) { return utf8ToGbk(utf8).value(); }

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string withQuestion(const json& q) { return json{{"questions", {q}}}.dump(); }

Result<Manifest> parse(const std::string& text) { return parseManifest(text, "/nonexistent-base"); }

struct BadManifest {
  const char* name;
  std::string text;
  ErrorKind kind;
};

class ManifestRefuses : public ::testing::TestWithParam<BadManifest> {};

TEST_P(ManifestRefuses, WhatMakesNoPaper) {
  const auto m = parse(GetParam().text);
  ASSERT_FALSE(m.ok());
  EXPECT_EQ(m.error().kind, GetParam().kind) << m.error().message;
}

INSTANTIATE_TEST_SUITE_P(
    Manifest, ManifestRefuses,
    ::testing::Values(
        BadManifest{"NotJson", "{\"title\": ", ErrorKind::Usage},
        BadManifest{"NotAnObject", "[1, 2]", ErrorKind::Usage},
        BadManifest{"TitleNotText", R"({"title": 5})", ErrorKind::Usage},
        // 51 Chinese characters are 102 bytes in GBK; the title holds 100.
        BadManifest{"TitleTooLong", json{{"title", repeat("题", 51)}}.dump(), ErrorKind::Usage},
        BadManifest{"KeyTooLong", json{{"key", repeat("k", 21)}}.dump(), ErrorKind::Usage},
        BadManifest{"CaptionTooLong", json{{"about_caption", "关于这份试卷"}}.dump(), ErrorKind::Usage},
        BadManifest{"PasswordTooLong", json{{"open_password", repeat("p", 27)}}.dump(), ErrorKind::Usage},
        BadManifest{"BadPackForm", R"({"pack_form": "zip"})", ErrorKind::Usage},
        BadManifest{"QuestionsNotAList", R"({"questions": {"label": "1"}})", ErrorKind::Usage},
        BadManifest{"UnknownKind", withQuestion({{"kind", "essay"}}), ErrorKind::Usage},
        BadManifest{"OptionsNotANumber", withQuestion({{"options", "four"}}), ErrorKind::Usage},
        BadManifest{"LabelTooLong", withQuestion({{"label", repeat("号", 21)}}), ErrorKind::Usage},
        BadManifest{"AnswerTooLong", withQuestion({{"kind", "text"}, {"answer", repeat("a", 161)}}),
                    ErrorKind::Usage},
        BadManifest{"KeyOutOfRange", withQuestion({{"answer", "A"}, {"key", 256}}), ErrorKind::Usage},
        BadManifest{"CommentWithoutRange", R"({"comments": [{"lines": ["x"]}]})", ErrorKind::Usage},
        BadManifest{"MissingPage", R"({"page": "nowhere.html"})", ErrorKind::Io}),
    [](const auto& p) { return std::string(p.param.name); });

struct KindCase {
  json question;
  std::int32_t kind;
  std::int32_t options;
  double marks;
  ByteString answer;  // as the reader reads it back (upper-cased)
};

TEST(Manifest, QuestionsAreStoredAsTheReaderReadsThem) {
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
  const auto m = parse(json{{"key", "k"}, {"questions", questions}}.dump());
  ASSERT_TRUE(m.ok()) << m.error().message;
  ASSERT_EQ(m->spec.questions.size(), cases.size());

  for (std::size_t i = 0; i < cases.size(); ++i) {
    const KindCase& c = cases[i];
    SCOPED_TRACE(c.question.dump());
    const QuestionRecord record = makeQuestion(m->spec.questions[i]);
    EXPECT_EQ(record.kind(), c.kind);
    EXPECT_EQ(record.optionCount(), c.options);
    EXPECT_EQ(record.marks(), c.marks);
    EXPECT_EQ(record.answer(), c.answer);
    EXPECT_EQ(record.rowLabel(), gbk(c.question.value("label", "")));
  }
}

// The stored answer ends at its first zero byte: a key that would turn a
// byte into zero is never chosen, and refused when given.
TEST(Manifest, NoKeyCutsTheAnswerShort) {
  const std::string answer = gbkToUtf8("\xF2\xA1\xB1\xB1");
  const auto chosen = parse(withQuestion({{"kind", "text"}, {"answer", answer}}));
  ASSERT_TRUE(chosen.ok());
  EXPECT_EQ(makeQuestion(chosen->spec.questions[0]).answer(), "\xF2\xA1\xB1\xB1");

  // Under key 7 the shift is 14, and 0xF2 + 14 = 0x100.
  const auto given = parse(withQuestion({{"kind", "text"}, {"answer", answer}, {"key", 7}}));
  ASSERT_FALSE(given.ok());
  EXPECT_EQ(given.error().kind, ErrorKind::Usage);
  EXPECT_NE(given.error().message.find("key"), std::string::npos);
}

struct WarningCase {
  const char* name;
  json question;
  const char* warning;  // "" when none is due
};

class ManifestWarns : public ::testing::TestWithParam<WarningCase> {};

TEST_P(ManifestWarns, AboutAnswersNoCandidateCanGive) {
  const auto m = parse(json{{"key", "k"}, {"questions", {GetParam().question}}}.dump());
  ASSERT_TRUE(m.ok()) << m.error().message;
  if (*GetParam().warning == '\0') {
    EXPECT_TRUE(m->warnings.empty());
  } else {
    ASSERT_EQ(m->warnings.size(), 1u);
    EXPECT_EQ(m->warnings[0].rfind("question 1: ", 0), 0u) << m->warnings[0];
    EXPECT_NE(m->warnings[0].find(GetParam().warning), std::string::npos) << m->warnings[0];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Manifest, ManifestWarns,
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

}  // namespace
}  // namespace qzt::writer
