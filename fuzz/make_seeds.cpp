// Writes the seed inputs of every fuzz target with the paper writer, so no
// binary paper is committed. Usage: make_seeds OUTDIR
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "paper/format.h"
#include "author/paper_writer.h"
#include "sheet/exam_session.h"
#include "side/answer_file.h"
#include "side/comments.h"

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

// An answer file for the answer-import target's paper, some cells pressed.
std::string answerFile() {
  std::vector<qzt::QuestionRecord> records;
  const std::vector<QuestionSpec> specs = {
      {"1", 1, 4, "A", 2, 7},   {"2", 2, 5, "ACE", 3, 200}, {"", 100, 0, "Part", 0, 1},
      {"3", 3, 0, "abc", 5, 6}, {"4", 3, 0, "", 1, 0},      {"5", 7, 3, "B", 1, 9},
      {"6", -2, 12, "L", 1, 4}};
  for (const auto& q : specs) records.push_back(makeQuestion(q));
  qzt::QuestionTable table(std::move(records));
  qzt::PaperHeader::Bytes header{};
  header[qzt::format::kQuestionCount] = static_cast<unsigned char>(table.count());
  qzt::ExamSession session;
  session.begin(qzt::PaperHeader(header), table);
  (void)session.pressLetter(1, 1);
  (void)session.pressLetter(2, 1);
  (void)session.pressLetter(2, 3);
  (void)session.pressLetter(7, 12);
  session.setTextAnswer(0, "ABC");
  return qzt::exportAnswers("KEY-1", table, session.sheet());
}

std::string score(double x) {
  std::string bytes(sizeof x, '\0');
  std::memcpy(bytes.data(), &x, sizeof x);
  return bytes;
}

void saveTextSeeds(const fs::path& out) {
  const fs::path imports = out / "fuzz_answer_import";
  const std::string answers = answerFile();
  save(imports, "answers.da", answers);
  save(imports, "wrong_key.da", "KEY-2" + answers.substr(5));
  save(imports, "short.da", "KEY-1\r\n A\r\n");

  const std::string header = qzt::kCommentHeader;
  const std::string comments = "intro\r\n" + header + "0-59\r\nweak\r\nmore\r\n" + header +
                               "60-100\r\ngood\r\n" + header + "x-y\r\n" + header + "5.5-6\n";
  const fs::path comment = out / "fuzz_comments";
  save(comment, "low", score(12) + comments);
  save(comment, "high", score(88.5) + comments);
  save(comment, "none", score(-1) + comments);

  const fs::path command = out / "fuzz_command_line";
  save(command, "plain", std::string("/home/a/x.qzt") + '\0' + "one\r\ntwo.qzt\r\nsub\\three\r\n");
  save(command, "blanks", std::string(" /tmp/my paper.QZT more args") + '\0' + "a.qzt.qzt\n\nb");
  save(command, "quoted", std::string("\"/tmp/x.qzt\"") + '\0' + "\xB2\xE2\xCA\xD4\r\n");

  const fs::path rtf = out / "fuzz_rtf";
  save(rtf, "styles.rtf",
       "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
       "{\\colortbl ;\\red255\\green0\\blue0;}"
       "\\pard\\qc\\b\\fs32 \\'b2\\'e2\\'ca\\'d4\\b0\\par"
       "\\pard\\cf1\\i\\ul text\\ulnone\\i0\\line\\tab \\u8730?\\u-3913?\\par}");
  save(rtf, "ignorable.rtf",
       "{\\rtf1{\\*\\generator x;}{\\pict\\pngblip 89504e47}{\\field{\\*\\fldinst HYPERLINK}"
       "{\\fldrslt link}}\\'b0\\'a1 plain\\~\\-\\{\\}\\\\}");
  save(rtf, "nested.rtf", "{\\rtf1" + std::string(300, '{') + "deep" + std::string(300, '}') + "}");
  save(rtf, "not_rtf.txt", "plain \xC4\xE3\xBA\xC3");
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

  // Requests whose bytes no corpus file holds yet; every target needs its
  // own seeds folder, or the fuzzer stops before it starts.
  const fs::path api = out / "fuzz_serve_api";
  save(api, "info", std::string("\x01/api/info\n"));
  save(api, "room", std::string("\x08/api/teacher/room\n"));

  saveTextSeeds(out);
  return 0;
}
