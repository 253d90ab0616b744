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

// What a manifest may hold is tested with the manifest reader; here, how
// the command reports it.
TEST_F(PackTest, AManifestThatMakesNoPaperWritesNothing) {
  struct Case {
    std::string text;
    int status;
  };
  for (const Case& c : {Case{"{\"title\": ", kUsage}, Case{R"({"page": "nowhere.html"})", kUnreadable}}) {
    SCOPED_TRACE(c.text);
    const Outcome r = pack(c.text);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err.rfind("qzt: ", 0), 0u) << r.err;
    EXPECT_FALSE(fs::exists(path("p.qzt")));
  }
}

TEST_F(PackTest, MissingManifestOrUnwritableOutputCannotBeRead) {
  EXPECT_EQ(qzt({"pack", arg("none.json"), arg("p.qzt")}).status, kUnreadable);
  writeFile(path("m.json"), "{}");
  EXPECT_EQ(qzt({"pack", arg("m.json"), arg("no/such/folder/p.qzt")}).status, kUnreadable);
}

TEST_F(PackTest, QuestionsAreStoredAsTheReaderReadsThem) {
  const json questions = {{{"label", "1"}, {"kind", "single"}, {"answer", "b"}},
                          {{"label", "填空"}, {"kind", "text"}, {"answer", "北京"}, {"marks", 5}}};
  ASSERT_EQ(pack(json{{"key", "k"}, {"questions", questions}}).status, kDone);

  const QuestionTable t = table();
  ASSERT_EQ(t.count(), 2);
  EXPECT_EQ(t.question(1).answer(), "B");
  EXPECT_EQ(t.question(2).kind(), 3);
  EXPECT_EQ(t.question(2).marks(), 5);
  EXPECT_EQ(t.question(2).answer(), gbk("北京"));
  EXPECT_EQ(t.question(2).rowLabel(), gbk("填空"));
}

TEST_F(PackTest, WarningsGoToStandardErrorAndThePaperIsWritten) {
  const Outcome r = pack(json{{"key", "k"}, {"questions", {{{"kind", "text"}, {"answer", "abc"}}}}});
  ASSERT_EQ(r.status, kDone) << r.err;
  EXPECT_EQ(r.err.rfind("qzt: warning: question 1: ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("upper-cases"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::exists(path("p.qzt")));
}

TEST_F(PackTest, TheDemoPacksWithoutWarnings) {
  const Outcome r = qzt({"pack", std::string(QZT_EXAMPLES_DIR) + "/demo/manifest.json", arg("demo.qzt")});
  EXPECT_EQ(r.status, kDone);
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace qzt::cli::testing
