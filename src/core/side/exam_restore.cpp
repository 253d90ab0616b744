#include "side/exam_restore.h"

#include <utility>

namespace qzt {

RecoveryCopy recoveryCopyOf(const std::filesystem::path& paper, const ExamSession& session) {
  const ExamClock& clock = session.clock();
  return makeRecoveryCopy(paper, session.header().paperKey(), session.header().title(),
                          session.sheet(), clock.minutesLeft(), clock.secondsLeft());
}

Status restoreExam(const RecoveryCopy& copy, ExamSession& session) {
  if (copy.paperKey != session.header().paperKey()) {
    return Error::refused("the recovery copy belongs to another paper");
  }
  AnswerSheet sheet = session.sheet();
  if (Status fitted = restoreAnswers(copy, sheet); !fitted) return fitted;
  // The clock goes first: it refuses an exam that no longer runs, and then
  // the answers stay as they were too.
  if (!session.resumeClock(copy.minutesLeft, copy.secondsLeft)) {
    return Error::refused("the exam is no longer running");
  }
  session.replaceAnswers(std::move(sheet));
  return Status::success();
}

}  // namespace qzt
