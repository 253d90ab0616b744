// How fast a class is graded: a 100-question paper and FILES answer files
// (10000 by default) written with the paper writer, then the whole class
// report (search, read, import, grade, figures) timed against merely
// finding and reading the same files in the same run. Prints files per
// second for both and their ratio; fails only when a file is not graded.
// Times are the process's processor time (one thread, so one core), which
// other work on a shared machine does not inflate; wall time beside it.
//   class_report_bench [FILES]
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "author/paper_writer.h"
#include "paper/format.h"
#include "paper/opening.h"
#include "report/class_report.h"
#include "report/file_search.h"
#include "shell/work_folder.h"
#include "side/comments.h"
#include "util/file_bytes.h"

namespace fs = std::filesystem;
using namespace qzt;

namespace {

constexpr int kQuestions = 100;
constexpr int kRounds = 5;
const char* const kTexts[] = {"12", "北京", "beijing", "BEIJING", "", "3.14"};

std::int32_t kindOf(int q) {
  if (q % 10 == 9) return format::kKindText;
  return q % 3 == 1 ? format::kKindMultiple : format::kKindSingle;
}

writer::PaperSpec paperSpec() {
  writer::PaperSpec spec;
  spec.title = "Benchmark";
  spec.paperKey = "BENCH-1";
  spec.commentsByPercent = true;
  spec.comments = std::string(kCommentHeader) + "0-59\r\nweak\r\n" + kCommentHeader + "60-100\r\ngood\r\n";
  for (int q = 0; q < kQuestions; ++q) {
    const std::int32_t kind = kindOf(q);
    const char* answer = kind == format::kKindText ? "BEIJING" : kind == format::kKindMultiple ? "A C" : "B";
    spec.questions.push_back({std::to_string(q + 1), kind, kind == format::kKindText ? 0 : 4, answer, 1.0 + q % 3,
                              static_cast<unsigned char>(q)});
  }
  return spec;
}

// A candidate's answers: letters in any order, some rows left empty.
std::string answerFile(std::mt19937& rng) {
  std::string file = "BENCH-1\r\n";
  for (int q = 0; q < kQuestions; ++q) {
    const std::int32_t kind = kindOf(q);
    if (kind == format::kKindText) {
      file += kTexts[rng() % std::size(kTexts)];
    } else if (kind == format::kKindMultiple) {
      for (char letter : {'A', 'B', 'C', 'D'}) {
        if (rng() % 2) file += letter;
      }
    } else if (rng() % 5) {
      file += static_cast<char>('A' + rng() % 4);
    }
    file += "\r\n";
  }
  return file;
}

struct Seconds {
  double processor = 1e9;
  double wall = 1e9;
};

// The best of several rounds.
Seconds best(const std::function<void()>& round) {
  Seconds fastest;
  for (int i = 0; i < kRounds; ++i) {
    const std::clock_t processorStart = std::clock();
    const auto wallStart = std::chrono::steady_clock::now();
    round();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double processor = static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
    fastest.processor = std::min(fastest.processor, processor);
    fastest.wall = std::min(fastest.wall, wall);
  }
  return fastest;
}

void print(const char* name, Seconds s, int files) {
  std::printf("%-13s %7.3f s  %8.0f files/s   (wall %.3f s)\n", name, s.processor, files / s.processor, s.wall);
}

int run(const fs::path& dir, int files) {
  if (!writer::writePaper(dir / "paper.qzt", paperSpec()).ok()) return 1;
  std::mt19937 rng(14);
  for (int i = 0; i < files; ++i) {
    const fs::path file = dir / "class" / ("group" + std::to_string(i % 40)) / (std::to_string(i) + ".da");
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << answerFile(rng);
  }
  auto paper = readPaper(dir / "paper.qzt", 0);
  if (!paper.ok()) return 1;

  std::size_t bytes = 0;
  const Seconds readOnly = best([&] {
    bytes = 0;
    for (const fs::path& f : report::findAnswerFiles({dir / "class"}).files) {
      auto read = readFileBytes(f);
      if (read.ok()) bytes += read->size();
    }
  });
  int graded = 0;
  const Seconds reported = best([&] {
    const report::ClassReport r = report::reportClass(*paper, report::findAnswerFiles({dir / "class"}));
    graded = r.summary.count;
  });

  std::printf("%d answer files of %d questions (%zu bytes), best of %d rounds\n", files, kQuestions, bytes, kRounds);
  print("read only:", readOnly, files);
  print("class report:", reported, files);
  std::printf("ratio report / read only: %.2f (processor time)\n", reported.processor / readOnly.processor);
  if (graded != files) {
    std::fprintf(stderr, "graded %d of %d files\n", graded, files);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::stoi(argv[1]) : 10000;
  auto dir = createWorkFolder();
  if (!dir.ok()) return 1;
  const int status = run(dir.value(), files);
  removeWorkFolder(dir.value());
  return status;
}
