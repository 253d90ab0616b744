// Fifty papers opened one after another in one work folder, each loaded,
// answered, graded, its comment chosen and its notes unpacked, the way the
// reader does it. Prints the memory and work-folder figures every ten
// papers and fails when memory grows or the folder keeps growing.
//   long_run [PAPERS]
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "paper/opening.h"
#include "paper/unpack.h"
#include "author/paper_writer.h"
#include "sheet/exam_session.h"
#include "shell/work_folder.h"
#include "side/answer_file.h"
#include "side/comments.h"

namespace fs = std::filesystem;
using namespace qzt;
using writer::GroupEntry;
using writer::PackForm;

namespace {

constexpr int kQuestions = 120;

// Paper i: every paper uses the same file names, as papers of one
// authoring tool do; sizes and contents vary.
writer::PaperSpec paperSpec(int i) {
  writer::PaperSpec s;
  s.title = "Long run " + std::to_string(i);
  s.paperKey = "LONG-" + std::to_string(i);
  std::string page = "<html><body>";
  for (int k = 0; k < 4000 + 500 * (i % 7); ++k) page += "<p>question " + std::to_string(k * i) + "</p>";
  page += "</body></html>";
  s.page = {GroupEntry::file("index.html", page, PackForm::MarkedRun, 4),
            GroupEntry::folder("index.html.files"),
            GroupEntry::file("style.css", std::string(20000 + 100 * i, 'c')),
            GroupEntry::file("picture.png", std::string(50000, static_cast<char>(i)))};
  s.support = {GroupEntry::file("s.txt", "x"), GroupEntry::folder("s.txt.files"),
               GroupEntry::file("mmts.txt", "hint " + std::to_string(i)),
               GroupEntry::file("about.txt", "about this paper\r\n")};
  s.notes = {GroupEntry::file("notes.txt", std::string(30000, 'n'))};
  s.comments = std::string(kCommentHeader) + "0-50\r\nweak\r\n" + kCommentHeader + "51-1000\r\ngood\r\n";
  for (int q = 0; q < kQuestions; ++q) {
    const std::int32_t kind = q % 10 == 0 ? 100 : q % 3 + 1;
    s.questions.push_back({std::to_string(q + 1), kind, kind == 3 ? 0 : 4, q % 2 ? "B" : "AC", 2,
                           static_cast<unsigned char>(q)});
  }
  return s;
}

long peakRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

long currentRssKb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4;
}

struct FolderSize {
  std::uintmax_t bytes = 0;
  int files = 0;
};

FolderSize folderSize(const fs::path& dir) {
  FolderSize s;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    s.bytes += e.file_size();
    ++s.files;
  }
  return s;
}

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// One paper through the reader's road. False when any step fails.
bool readerRound(const fs::path& paper, const fs::path& work) {
  const OpenOutcome opened = openPaper(paper, 0, work);
  if (opened.ioError || opened.stateCode != 0 || !opened.hint) return false;
  auto loaded = readPaper(paper, 0);
  if (!loaded.ok()) return false;
  const UnpackedPaper unpacked = unpackPaper(loaded.value(), work);
  if (unpacked.page.failure || !unpacked.page.anchor) return false;

  ExamSession session;
  session.begin(loaded->header, loaded->table);
  for (int row = 1; row <= kQuestions; row += 2) (void)session.pressLetter(row, 1 + row % 4);
  // Save and import the answers, as the answer-file buttons do.
  const ByteString saved = exportAnswers(loaded->header.paperKey(), session.table(), session.sheet());
  auto imported = importAnswers(saved, loaded->header.paperKey(), session.table(), session.sheet());
  if (!imported.ok()) return false;
  session.replaceAnswers(std::move(imported).value());
  if (session.handIn() != ExamSession::HandIn::Graded) return false;

  // The comments are read from "pyfile", deleted right after use.
  const PaperHeader& h = loaded->header;
  const fs::path pyfile = work / "pyfile";
  if (!unpackPacked(paper, pyfile, h.commentsLen(), h.commentsPos()).ok()) return false;
  (void)chooseComment(readAll(pyfile), session.report()->selection.value_or(0));
  fs::remove(pyfile);

  const GroupResult notes = unpackGroup(paper, work, h.notesGroupLen(), h.notesGroupPos() + 4);
  return !notes.failure;
}

}  // namespace

int main(int argc, char** argv) {
  const int papers = argc > 1 ? std::stoi(argv[1]) : 50;
  auto scratch = createWorkFolder();
  auto work = createWorkFolder();
  if (!scratch.ok() || !work.ok()) {
    std::cerr << "long_run: cannot create a work folder\n";
    return 1;
  }
  std::vector<fs::path> paths;
  for (int i = 1; i <= papers; ++i) {
    paths.push_back(scratch.value() / ("paper" + std::to_string(i) + ".qzt"));
    if (!writer::writePaper(paths.back(), paperSpec(i)).ok()) return 1;
  }

  std::printf("%8s %14s %14s %14s %8s\n", "papers", "peak RSS kB", "RSS kB", "folder bytes", "files");
  long peakAfterFirst = 0, rssAfterFirst = 0;
  FolderSize afterFirst;
  bool ok = true;
  for (int i = 0; i < papers && ok; ++i) {
    ok = readerRound(paths[static_cast<std::size_t>(i)], work.value());
    const int done = i + 1;
    const FolderSize folder = folderSize(work.value());
    if (done == 1) {
      peakAfterFirst = peakRssKb();
      rssAfterFirst = currentRssKb();
      afterFirst = folder;
    }
    if (done == 1 || done % 10 == 0 || done == papers || !ok) {
      std::printf("%8d %14ld %14ld %14ju %8d\n", done, peakRssKb(), currentRssKb(), folder.bytes, folder.files);
    }
  }
  const FolderSize last = folderSize(work.value());
  const long peakGrowth = peakRssKb() - peakAfterFirst;
  const long rssGrowth = currentRssKb() - rssAfterFirst;
  std::printf("growth after the first paper: peak RSS %+ld kB, RSS %+ld kB, folder %+jd bytes\n",
              peakGrowth, rssGrowth,
              static_cast<std::intmax_t>(last.bytes) - static_cast<std::intmax_t>(afterFirst.bytes));

  removeWorkFolder(work.value());
  removeWorkFolder(scratch.value());
  if (!ok) {
    std::cerr << "long_run: a paper failed to open, load or grade\n";
    return 1;
  }
  // Loose bounds: memory stays flat and the folder holds one paper's files.
  constexpr long kMemorySlackKb = 50 * 1024;
  if (peakGrowth > kMemorySlackKb || rssGrowth > kMemorySlackKb) {
    std::cerr << "long_run: memory grew from paper to paper\n";
    return 1;
  }
  if (last.files != afterFirst.files || last.bytes > 2 * afterFirst.bytes) {
    std::cerr << "long_run: the work folder kept growing\n";
    return 1;
  }
  return 0;
}
