#include "report/html_writer.h"

#include <gtest/gtest.h>

#include <limits>

#include "util/gbk.h"

namespace qzt::report {
namespace {

// Every text in the page comes from a paper, an answer file or a file
// name; none of it may become markup.
ClassReport hostileReport() {
  const std::string markup = "<script>alert('x')</script>&\"";
  ClassReport r;
  r.title = utf8ToGbk("期中测验 " + markup).value();
  r.key = markup;
  r.total = 2;
  ReportedFile graded;
  graded.file = "班级/<b>.da";
  graded.scoreLine = "总分：2 得分：2 正确率：100";
  graded.total = 2;
  graded.score = 2;
  graded.rate = 100;
  graded.comment = std::vector<ByteString>{markup};
  graded.results = {true};
  ReportedFile refused;
  refused.file = "x.da";
  refused.error = markup;
  r.files = {graded, refused};
  r.summary.count = 1;
  r.summary.refused = 1;
  r.summary.scores = ScoreStats{2, 2, 0, 2, 2};
  r.summary.histogram[9] = 1;
  QuestionStats q;
  q.row = 1;
  q.label = markup;
  q.kind = 3;
  q.correct = markup;
  q.marks = 2;
  q.right = 1;
  q.facility = 1;
  q.answers = {{markup, 1}, {"<i>", 3}};
  r.questions = {q};
  return r;
}

TEST(HtmlWriter, TextNeverBecomesMarkupAndNothingIsFetched) {
  const std::string page = classHtml(hostileReport());
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_EQ(page.find("<i>"), std::string::npos);
  EXPECT_NE(page.find("<title>期中测验 &lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&amp;&quot; 成绩报告</title>"),
            std::string::npos);
  EXPECT_NE(page.find("&lt;i&gt; ×3"), std::string::npos) << "most common wrong answer";
  for (const char* fetch : {"src=", "href=", "url(", "@import", "http:", "https:"}) {
    EXPECT_EQ(page.find(fetch), std::string::npos) << fetch;
  }
}

// Damaged marks in a paper (NaN, infinity) reach the figures; the page
// shows a dash, never "nan" or "inf".
TEST(HtmlWriter, DamagedMarksShowAsDashes) {
  ClassReport r = hostileReport();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  r.total = nan;
  r.files[0].score = std::numeric_limits<double>::infinity();
  r.files[0].total = nan;
  r.summary.scores = ScoreStats{nan, nan, nan, nan, nan};
  r.questions[0].marks = nan;
  r.questions[0].facility = nan;
  const std::string page = classHtml(r);
  for (const char* word : {"nan", "inf"}) EXPECT_EQ(page.find(word), std::string::npos) << word;
}

}  // namespace
}  // namespace qzt::report
