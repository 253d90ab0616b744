// A paper from arbitrary bytes down the reader's whole road: header tests,
// passwords, support group, question table, page group, answering and
// grading, the comment chosen from the comments data, the notes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_scratch.h"
#include "paper/format.h"
#include "paper/opening.h"
#include "paper/password.h"
#include "paper/unpack.h"
#include "sheet/exam_session.h"
#include "side/comments.h"

namespace {

// Entries start 4 bytes after a group's stored position.
std::int32_t firstEntry(std::int32_t pos) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  return pos > kMax - 4 ? kMax : pos + 4;
}

// Mutations nearly always break the header's checksum, which would stop
// every input at the first test; the checksum is set right instead, unless
// the input's last byte asks to keep it.
std::vector<std::uint8_t> sealed(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  namespace f = qzt::format;
  if (size < static_cast<std::size_t>(f::kHeaderSize) || bytes.back() == 0xFF) return bytes;
  unsigned sum = 0;
  for (int i = 0; i < f::kChecksum; ++i) sum += bytes[static_cast<std::size_t>(i)];
  bytes[f::kChecksum] = static_cast<std::uint8_t>(sum % f::kChecksumModulus);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes = sealed(data, size);
  const auto paper = qzt::fuzz::inputFile(bytes.data(), bytes.size());
  const auto work = qzt::fuzz::emptyFolder();
  (void)qzt::expectedPageKind(paper, 0);
  const auto opened = qzt::openPaper(paper, 0, work);
  if (opened.ioError || opened.stateCode != 0) return 0;
  (void)qzt::passwordMatches(opened.paper.header.openPasswordBlock(), "pw");
  auto loaded = qzt::readPaper(paper, 0);
  if (!loaded.ok()) return 0;
  (void)qzt::unpackPaper(loaded.value(), work);

  const qzt::PaperHeader& h = loaded->header;
  qzt::ExamSession session;
  session.begin(h, loaded->table);
  for (int row = 1; row <= 4; ++row) (void)session.pressLetter(row, row);
  if (session.handIn() == qzt::ExamSession::HandIn::NeedsGradePassword) {
    (void)session.checkGradePassword("gp");
  }
  if (session.graded() && h.commentsLen() > 0) {
    const auto pyfile = work / "pyfile";
    if (qzt::unpackPacked(paper, pyfile, h.commentsLen(), h.commentsPos()).ok()) {
      (void)qzt::chooseComment(qzt::fuzz::fileBytes(pyfile), session.report()->selection.value_or(0));
    }
  }
  if (h.notesGroupLen() > 0) {
    (void)qzt::unpackGroup(paper, work, h.notesGroupLen(), firstEntry(h.notesGroupPos()));
  }
  return 0;
}
