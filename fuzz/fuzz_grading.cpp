// A question table from arbitrary records, answered by presses the input
// chooses, handed in and graded.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "paper/format.h"
#include "sheet/exam_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using qzt::format::kQuestionRecordSize;
  if (size < 2) return 0;
  const std::size_t presses = data[0];
  const bool byPercent = data[1] & 1;
  data += 2;
  size -= 2;

  std::vector<qzt::QuestionRecord> records;
  while (size >= static_cast<std::size_t>(kQuestionRecordSize) && records.size() < 64) {
    qzt::QuestionRecord::Bytes bytes;
    for (int i = 0; i < kQuestionRecordSize; ++i) bytes[i] = data[i];
    records.emplace_back(bytes);
    data += kQuestionRecordSize;
    size -= kQuestionRecordSize;
  }

  qzt::PaperHeader::Bytes headerBytes{};
  headerBytes[qzt::format::kQuestionCount] = static_cast<unsigned char>(records.size());
  headerBytes[qzt::format::kCommentsByPercent] = byPercent ? 1 : 0;
  qzt::ExamSession session;
  session.begin(qzt::PaperHeader(headerBytes), qzt::QuestionTable(std::move(records)));

  for (std::size_t i = 0; i + 1 < size && i / 2 < presses; i += 2) {
    (void)session.pressLetter(data[i] % 70, data[i + 1] % 12);
  }
  (void)session.handIn();
  return 0;
}
