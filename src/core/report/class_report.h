// A class report: every answer file graded against one paper, with the
// class summary and the item analysis of each graded row.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "paper/opening.h"
#include "report/file_search.h"
#include "report/statistics.h"
#include "sheet/grading.h"
#include "util/bytes.h"
#include "util/result.h"

namespace qzt::report {

// One answer file as the report lists it: graded, or refused with a reason.
struct ReportedFile {
  std::filesystem::path file;
  std::optional<std::string> error;  // UTF-8 reason; set only when refused
  std::string scoreLine;             // UTF-8, as the reader shows it
  double total = 0;
  double score = 0;
  std::optional<double> rate;
  std::optional<std::vector<ByteString>> comment;  // GBK lines
  std::vector<bool> results;         // per graded row, in row order: right
  std::vector<double> subtotals;     // per section, marks earned
};

struct Summary {
  int count = 0;    // graded files
  int refused = 0;
  std::optional<ScoreStats> scores;  // none without a graded file
  Histogram histogram{};
  std::optional<double> reliability;  // Cronbach's alpha (KR-20 for right/wrong rows)
  std::optional<double> sem;          // sample stdev x sqrt(1 - alpha)
  RateCutoffs cutoffs;
  std::optional<Rates> rates;
};

struct AnswerCount {
  // GBK, as graded: letters joined ("A C"), text as typed; a long text cut
  // to kAnswerShownBytes and ended by "…" (answers alike that far count
  // as one).
  ByteString answer;
  int count = 0;
};

inline constexpr std::size_t kAnswerShownBytes = 120;
// Distinct answers kept per row; later new answers count as others.
inline constexpr std::size_t kAnswersKept = 64;

struct QuestionStats {
  int row = 0;
  std::size_t section = 0;  // index into ClassReport::sections
  ByteString label;     // GBK
  std::int32_t kind = 0;
  ByteString correct;   // GBK, unscrambled
  double marks = 0;
  int right = 0;
  std::optional<double> facility;  // right / count; none without a graded file
  // Across files: the row's 0/1 result against the score less the marks
  // earned on that row.
  std::optional<double> discrimination;
  // Why the row needs a look (UTF-8, one line each): negative or low
  // discrimination, facility above 0.9 or below 0.2.
  std::vector<std::string> flags;
  std::vector<AnswerCount> answers;  // largest first, equal counts in byte order
  int otherAnswers = 0;  // answers beyond the kAnswersKept distinct ones kept
};

// The graded rows under one heading row of the paper (rows before the first
// heading form a section without a heading).
struct SectionStats {
  ByteString heading;  // GBK: the heading row's label, else its text
  double marks = 0;
  int questions = 0;
  std::optional<double> mean;      // of the graded files' subtotals
  std::optional<double> facility;  // mean / marks
};

struct ClassReport {
  ByteString title;  // GBK
  ByteString key;    // GBK
  std::string paperFile;  // UTF-8, the paper's file name without its folder
  std::string date;       // UTF-8, when the report was made, "2026-12-11 08:30 UTC"
  double total = 0;  // marks of the graded rows
  std::vector<ReportedFile> files;  // graded and refused, in the order added
  int duplicates = 0;  // names of a file already listed, left out
  Summary summary;
  std::vector<QuestionStats> questions;  // graded rows in row order
  std::vector<SectionStats> sections;    // only those holding a graded row
  // The paper's comments could not be unpacked: no file has a comment.
  std::optional<Error> commentsFailure;
};

// A class report built one file at a time from grades made anywhere (a
// folder graded here, or hand-ins arriving in a live classroom). Memory
// stays bounded per row whatever the answers hold.
class ClassReportBuilder {
 public:
  explicit ClassReportBuilder(const LoadedPaper& paper);

  // `grade` must come from grading against the builder's paper.
  void addGraded(std::filesystem::path file, const GradeReport& grade,
                 std::optional<std::vector<ByteString>> comment = std::nullopt);
  // A file or folder that gave no grade, with why (UTF-8).
  void addRefused(std::filesystem::path file, std::string reason);
  void addDuplicates(int count) { report_.duplicates += count; }
  void setCutoffs(const RateCutoffs& cutoffs) { report_.summary.cutoffs = cutoffs; }
  void setCommentsFailure(std::optional<Error> failure) { report_.commentsFailure = std::move(failure); }

  // The report with the class figures of what was added so far.
  ClassReport report() const;

 private:
  // One graded row's distinct answers, at most kAnswersKept of them.
  struct Tally {
    std::unordered_map<ByteString, int> counts;
    int others = 0;
  };
  ClassReport report_;  // figures not yet worked out
  std::vector<Tally> tallies_;  // per graded row
};

// Grades the answer files in order against the paper (each read once) and
// works out the class figures. Folders that could not be searched are listed
// as refused, before the files.
ClassReport reportClass(const LoadedPaper& paper, const std::vector<std::filesystem::path>& answerFiles);
ClassReport reportClass(const LoadedPaper& paper, const AnswerFileSearch& search,
                        const RateCutoffs& cutoffs = {});

}  // namespace qzt::report
