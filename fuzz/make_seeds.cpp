// Writes the seed inputs of every fuzz target with the paper writer, so no
// binary paper is committed. Usage: make_seeds OUTDIR
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "paper_writer.h"

namespace fs = std::filesystem;
using namespace qzt::writer;

namespace {

void save(const fs::path& dir, const std::string& name, const std::string& bytes) {
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary) << bytes;
}

PaperSpec richPaper() {
  PaperSpec s;
  s.title = "Seed";
  s.statusText = "status";
  s.aboutCaption = "about";
  s.page = {GroupEntry::file("index.html", "<html><body>page</body></html>"),
            GroupEntry::folder("index.html.files"),
            GroupEntry::file("a.css", "body{}", PackForm::MarkedRun, 3)};
  s.support = {GroupEntry::file("s.txt", "x"), GroupEntry::folder("s.txt.files"),
               GroupEntry::file("mmts.txt", "hint http://a.invalid"),
               GroupEntry::file("about.txt", "line\r\n\r\nhttp://b.invalid\r\n")};
  s.notes = {GroupEntry::file("notes.txt", "notes")};
  s.comments = std::string("\xC6\xC0\xD3\xEF \xB7\xD6\xCA\xFD:0-100\r\nwell\r\n");
  s.questions = {{"1", 1, 4, "A", 2, 7}, {"2", 2, 4, "AC", 3, 200},
                 {"3", 3, 0, "abc", 5, 6}, {"", 100, 0, "Part", 0, 1}};
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_seeds OUTDIR\n";
    return 2;
  }
  const fs::path out = argv[1];

  PaperSpec plain;
  plain.questions = {{"1", 1, 4, "B", 1, 0}};
  PaperSpec rich = richPaper();
  PaperSpec locked = rich;
  locked.openPassword = "pw";
  locked.gradePassword = "gp";

  const fs::path open = out / "fuzz_open_paper";
  save(open, "plain.qzt", buildPaper(plain).bytes);
  save(open, "rich.qzt", buildPaper(rich).bytes);
  save(open, "locked.qzt", buildPaper(locked).bytes);

  const fs::path group = out / "fuzz_unpack_group";
  save(group, "group", encodeGroup(rich.page));
  save(group, "support", encodeGroup(rich.support));
  save(group, "block", packData("content", PackForm::SingleBlock));
  save(group, "run", packData("content in blocks", PackForm::MarkedRun, 3));

  const fs::path table = out / "fuzz_grading";
  std::string records;
  for (const auto& q : rich.questions) {
    const auto r = makeQuestion(q);
    records.append(reinterpret_cast<const char*>(r.bytes().data()), r.bytes().size());
  }
  save(table, "records", records);
  return 0;
}
