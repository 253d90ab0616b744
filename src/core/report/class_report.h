// A class report: every answer file graded against one paper, with the
// class summary and the item analysis of each graded row.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "paper/opening.h"
#include "report/statistics.h"
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
};

struct Summary {
  int count = 0;    // graded files
  int refused = 0;
  std::optional<ScoreStats> scores;  // none without a graded file
  Histogram histogram{};
};

struct AnswerCount {
  ByteString answer;  // GBK, as graded: letters joined ("A C"), text as typed
  int count = 0;
};

struct QuestionStats {
  int row = 0;
  ByteString label;     // GBK
  std::int32_t kind = 0;
  ByteString correct;   // GBK, unscrambled
  double marks = 0;
  int right = 0;
  std::optional<double> facility;  // right / count; none without a graded file
  // Across files: the row's 0/1 result against the score less the marks
  // earned on that row.
  std::optional<double> discrimination;
  std::vector<AnswerCount> answers;  // largest first, equal counts in byte order
};

struct ClassReport {
  ByteString title;  // GBK
  ByteString key;    // GBK
  double total = 0;  // marks of the graded rows
  std::vector<ReportedFile> files;
  Summary summary;
  std::vector<QuestionStats> questions;  // graded rows in row order
  // The paper's comments could not be unpacked: no file has a comment.
  std::optional<Error> commentsFailure;
};

// Grades the answer files in order against the paper (each read once) and
// works out the class figures.
ClassReport reportClass(const LoadedPaper& paper, const std::vector<std::filesystem::path>& answerFiles);

}  // namespace qzt::report
