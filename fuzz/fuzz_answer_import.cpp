// Importing an answer file from arbitrary bytes into a small paper of
// every question kind, then handing in and grading what was imported.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "paper/format.h"
#include "author/paper_writer.h"
#include "sheet/exam_session.h"
#include "side/answer_file.h"

namespace {

const qzt::QuestionTable& table() {
  static const qzt::QuestionTable t = [] {
    std::vector<qzt::QuestionRecord> records;
    const std::vector<qzt::writer::QuestionSpec> specs = {
        {"1", 1, 4, "A", 2, 7},   {"2", 2, 5, "ACE", 3, 200}, {"", 100, 0, "Part", 0, 1},
        {"3", 3, 0, "abc", 5, 6}, {"4", 3, 0, "", 1, 0},      {"5", 7, 3, "B", 1, 9},
        {"6", -2, 12, "L", 1, 4}};
    for (const auto& s : specs) records.push_back(qzt::writer::makeQuestion(s));
    return qzt::QuestionTable(std::move(records));
  }();
  return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qzt::PaperHeader::Bytes headerBytes{};
  headerBytes[qzt::format::kQuestionCount] = static_cast<unsigned char>(table().count());
  qzt::ExamSession session;
  session.begin(qzt::PaperHeader(headerBytes), table());

  const std::string file(reinterpret_cast<const char*>(data), size);
  auto imported = qzt::importAnswers(file, "KEY-1", table(), session.sheet());
  if (!imported.ok()) return 0;
  session.replaceAnswers(std::move(imported).value());
  (void)session.handIn();
  (void)qzt::exportAnswers("KEY-1", table(), session.sheet());
  return 0;
}
