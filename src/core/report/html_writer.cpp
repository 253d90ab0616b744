#include "report/html_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "paper/format.h"
#include "sheet/grading.h"
#include "util/gbk.h"

namespace qzt::report {
namespace {

constexpr char kStyle[] =
    "body{font-family:'Noto Sans CJK SC',sans-serif;margin:24px;color:#222;background:#fff}"
    "h1{font-size:24px}h2{font-size:18px;margin-top:28px}"
    "table{border-collapse:collapse}th,td{border:1px solid #bbb;padding:4px 8px;text-align:left}"
    "th{background:#eef2f7}td.n{text-align:right}.chart{overflow-x:auto}"
    "svg text{font-size:11px;fill:#333}.refused{color:#a00}"
    "tr.flagged td{background:#fff3cd}.flag{color:#8a5300;font-size:12px}dl.terms dt{font-weight:bold}"
    "dl.terms dd{margin:0 0 6px 16px}"
    // A4 on paper: no outer margin of our own, tables kept whole per row,
    // headings kept with what follows, colours printed.
    "@page{size:A4;margin:15mm}"
    "@media print{body{margin:0;font-size:11px}h2{break-after:avoid}tr,svg,.keep{break-inside:avoid}"
    ".chart{overflow:visible}th,td{padding:2px 4px}*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}";
constexpr char kFacilityColour[] = "#3b73b9";
constexpr char kDiscriminationColour[] = "#e08a1e";
constexpr char kBarColour[] = "#5b9b5b";

std::string text(const ByteString& gbk) { return htmlEscape(gbkToUtf8(gbk)); }

// A damaged mark (NaN, infinity) shows as a dash, never as "nan".
std::string number(double x) { return std::isfinite(x) ? formatScore(x) : "—"; }

std::string maybe(const std::optional<double>& x) { return x ? number(*x) : "—"; }

const char* kindName(std::int32_t kind) {
  if (kind == format::kKindSingle) return "单选";
  if (kind == format::kKindText) return "文字";
  return "多选";  // every other graded kind enters letters like it
}

std::string answerText(const ByteString& answer) {
  return answer.empty() ? std::string("（空）") : text(answer);
}

void row(std::string& out, const std::string& heading, const std::string& value) {
  out += "<tr><th>" + heading + "</th><td class=n>" + value + "</td></tr>";
}

void summaryTable(std::string& out, const ClassReport& r) {
  const Summary& s = r.summary;
  out += "<h2>概况</h2><table id=summary>";
  row(out, "满分", number(r.total));
  row(out, "评分人数", std::to_string(s.count));
  row(out, "未能评分", std::to_string(s.refused));
  if (r.duplicates > 0) row(out, "重复列出（只计一次）", std::to_string(r.duplicates));
  if (s.scores) {
    row(out, "平均分", number(s.scores->mean));
    row(out, "中位数", number(s.scores->median));
    row(out, "标准差（总体）", number(s.scores->stdev));
    row(out, "标准差（样本）", maybe(s.scores->sampleStdev));
    row(out, "最高分", number(s.scores->max));
    row(out, "最低分", number(s.scores->min));
    row(out, "信度（克龙巴赫 α）", maybe(s.reliability));
    row(out, "测量标准误", maybe(s.sem));
  }
  if (s.rates) {
    row(out, std::string("及格率（≥") + number(s.cutoffs.pass) + "%）", number(s.rates->pass * 100) + "%");
    row(out, std::string("优秀率（≥") + number(s.cutoffs.excellent) + "%）", number(s.rates->excellent * 100) + "%");
    row(out, std::string("低分率（<") + number(s.cutoffs.low) + "%）", number(s.rates->low * 100) + "%");
  }
  out += "</table>";
}

std::string svgText(double x, double y, const std::string& content, const char* anchor = "middle") {
  return "<text x='" + number(x) + "' y='" + number(y) + "' text-anchor='" + anchor + "'>" + content + "</text>";
}

std::string svgRect(double x, double y, double w, double h, const char* colour, const std::string& tip) {
  return "<rect x='" + number(x) + "' y='" + number(y) + "' width='" + number(w) + "' height='" +
         number(h) + "' fill='" + colour + "'><title>" + tip + "</title></rect>";
}

void histogramChart(std::string& out, const Histogram& bands) {
  constexpr double kBand = 48, kTop = 20, kHeight = 150, kLeft = 10;
  const int most = std::max(1, *std::max_element(bands.begin(), bands.end()));
  out += "<section class=keep><h2>分数分布</h2><div class=chart><svg id=histogram width='" +
         number(kLeft * 2 + kBand * kHistogramBands) + "' height='210'>";
  for (int b = 0; b < kHistogramBands; ++b) {
    const double h = kHeight * bands[b] / most;
    const double x = kLeft + kBand * b;
    const std::string band = std::to_string(b * 10) + "–" + std::to_string(b == 9 ? 100 : b * 10 + 9);
    out += svgRect(x + 4, kTop + kHeight - h, kBand - 8, h, kBarColour, band + "：" + std::to_string(bands[b]));
    out += svgText(x + kBand / 2, kTop + kHeight - h - 4, std::to_string(bands[b]));
    out += svgText(x + kBand / 2, kTop + kHeight + 16, band);
  }
  out += "<line x1='" + number(kLeft) + "' x2='" + number(kLeft + kBand * kHistogramBands) + "' y1='" +
         number(kTop + kHeight) + "' y2='" + number(kTop + kHeight) + "' stroke='#333'/></svg></div></section>";
}

// Facility upward from the middle line (0..1), discrimination up or down
// from it (-1..1), one pair of bars per graded row.
void questionChart(std::string& out, const std::vector<QuestionStats>& questions) {
  constexpr double kSlot = 30, kHalf = 90, kMid = 110, kLeft = 34;
  const double width = kLeft + kSlot * static_cast<double>(questions.size()) + 10;
  out += "<section class=keep><h2>各题难度与区分度</h2><p><span style='color:" + std::string(kFacilityColour) +
         "'>■</span> 难度（答对率） <span style='color:" + kDiscriminationColour +
         "'>■</span> 区分度</p><div class=chart><svg id=questions width='" +
         number(std::max(width, 200.0)) + "' height='230'>";
  out += svgText(kLeft - 4, kMid - kHalf + 4, "1", "end") + svgText(kLeft - 4, kMid + 4, "0", "end") +
         svgText(kLeft - 4, kMid + kHalf + 4, "-1", "end");
  for (std::size_t i = 0; i < questions.size(); ++i) {
    const QuestionStats& q = questions[i];
    const double x = kLeft + kSlot * static_cast<double>(i);
    const std::string label = text(q.label);
    if (q.facility) {
      const double h = kHalf * *q.facility;
      out += svgRect(x + 3, kMid - h, 11, h, kFacilityColour, label + " 难度 " + number(*q.facility));
    }
    if (q.discrimination) {
      const double h = kHalf * std::abs(*q.discrimination);
      const double y = *q.discrimination >= 0 ? kMid - h : kMid;
      out += svgRect(x + 15, y, 11, h, kDiscriminationColour, label + " 区分度 " + number(*q.discrimination));
    }
    out += svgText(x + kSlot / 2, kMid + kHalf + 24, label);
  }
  out += "<line x1='" + number(kLeft) + "' x2='" + number(width) + "' y1='" + number(kMid) + "' y2='" +
         number(kMid) + "' stroke='#333'/></svg></div></section>";
}

std::string commonWrongAnswers(const QuestionStats& q) {
  constexpr int kShown = 3;
  std::string shown;
  int n = 0;
  for (const AnswerCount& a : q.answers) {
    if (a.answer == q.correct) continue;
    if (n++ == kShown) break;
    if (!shown.empty()) shown += "、";
    shown += answerText(a.answer) + " ×" + std::to_string(a.count);
  }
  if (q.otherAnswers > 0) shown += (shown.empty() ? "" : "、") + std::string("其他 ×") + std::to_string(q.otherAnswers);
  return shown;
}

void sectionTable(std::string& out, const std::vector<SectionStats>& sections) {
  if (sections.empty()) return;
  out += "<h2>各部分</h2><table id=sections><tr><th>部分</th><th>题数</th><th>分值</th><th>平均分</th>"
         "<th>得分率</th></tr>";
  for (const SectionStats& sec : sections) {
    out += "<tr><td>" + text(sec.heading) + "</td><td class=n>" + std::to_string(sec.questions) +
           "</td><td class=n>" + number(sec.marks) + "</td><td class=n>" + maybe(sec.mean) + "</td><td class=n>" +
           maybe(sec.facility) + "</td></tr>";
  }
  out += "</table>";
}

std::string flagText(const QuestionStats& q) {
  std::string joined;
  for (const std::string& flag : q.flags) joined += "<div class=flag>⚑ " + htmlEscape(flag) + "</div>";
  return joined;
}

void questionTable(std::string& out, const std::vector<QuestionStats>& questions) {
  out += "<h2>各题分析</h2><table id=items><tr><th>题号</th><th>题型</th><th>分值</th><th>正确答案</th>"
         "<th>答对人数</th><th>难度（答对率）</th><th>区分度</th><th>常见错误答案</th><th>提示</th></tr>";
  for (const QuestionStats& q : questions) {
    out += std::string(q.flags.empty() ? "<tr>" : "<tr class=flagged>") + "<td>" + text(q.label) + "</td><td>" + kindName(q.kind) + "</td><td class=n>" +
           number(q.marks) + "</td><td>" + answerText(q.correct) + "</td><td class=n>" +
           std::to_string(q.right) + "</td><td class=n>" + maybe(q.facility) + "</td><td class=n>" +
           maybe(q.discrimination) + "</td><td>" + commonWrongAnswers(q) + "</td><td>" + flagText(q) + "</td></tr>";
  }
  out += "</table>";
}

std::string commentText(const std::optional<std::vector<ByteString>>& comment) {
  if (!comment) return {};
  std::string joined;
  for (const ByteString& line : *comment) joined += (joined.empty() ? "" : "<br>") + text(line);
  return joined;
}

// What each figure means, for a reader who has not met it.
void definitions(std::string& out) {
  out += "<h2>指标说明</h2><dl class=terms>"
         "<dt>难度（答对率）</dt><dd>答对该题的人数除以评分人数，越大越容易。</dd>"
         "<dt>区分度</dt><dd>该题对错（1/0）与除该题外得分的相关系数；为负说明高分者反而答错，答案可能有误，"
         "低于 0.2 说明该题区分能力弱。</dd>"
         "<dt>标准差（总体/样本）</dt><dd>得分离平均分的程度；总体除以人数，样本除以人数减一。</dd>"
         "<dt>信度（克龙巴赫 α）</dt><dd>各题得分的一致程度，0 到 1，越大越可靠；各题只有全对或全错时即 KR-20。</dd>"
         "<dt>测量标准误</dt><dd>样本标准差 × √(1 − α)：一个学生的分数因测量而可能偏离的幅度。</dd>"
         "<dt>及格率、优秀率、低分率</dt><dd>得分达到（低分率为低于）满分的相应百分比的人数比例。</dd>"
         "</dl>";
}

void fileTable(std::string& out, const std::vector<ReportedFile>& files) {
  out += "<h2>答卷</h2><table id=files><tr><th>文件</th><th>得分</th><th>总分</th><th>正确率</th>"
         "<th>评语</th></tr>";
  for (const ReportedFile& f : files) {
    out += "<tr><td>" + htmlEscape(pathToUtf8(f.file)) + "</td>";
    if (f.error) {
      out += "<td colspan=4 class=refused>未能评分：" + htmlEscape(*f.error) + "</td></tr>";
      continue;
    }
    out += "<td class=n>" + number(f.score) + "</td><td class=n>" + number(f.total) + "</td><td class=n>" +
           (f.rate ? number(*f.rate) : std::string()) + "</td><td>" + commentText(f.comment) + "</td></tr>";
  }
  out += "</table>";
}

}  // namespace

std::string htmlEscape(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (char c : raw) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string classHtml(const ClassReport& report) {
  const std::string title = text(report.title);
  std::string out = "<!DOCTYPE html><html lang='zh-CN'><head><meta charset='utf-8'><title>" + title +
                    " 成绩报告</title><style>" + kStyle + "</style></head><body>";
  out += "<h1>" + title + "</h1><p>试卷文件：" + htmlEscape(report.paperFile) + "　试卷编号：" + text(report.key) +
         "　报告日期：" + htmlEscape(report.date) + "</p>";
  summaryTable(out, report);
  histogramChart(out, report.summary.histogram);
  questionChart(out, report.questions);
  sectionTable(out, report.sections);
  questionTable(out, report.questions);
  fileTable(out, report.files);
  definitions(out);
  out += "</body></html>\n";
  return out;
}

}  // namespace qzt::report
