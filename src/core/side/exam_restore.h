// Between a running exam and its recovery copy: what is kept, and how a
// copy left by an earlier run is put back.
#pragma once

#include <filesystem>

#include "sheet/exam_session.h"
#include "side/recovery.h"
#include "util/result.h"

namespace qzt {

// The copy of the exam in `session`, keyed by `paper` (the caller's
// absolute path of the paper file) and the paper key.
RecoveryCopy recoveryCopyOf(const std::filesystem::path& paper, const ExamSession& session);

// Puts the copy's answers and time left into a freshly begun exam. Refused,
// with nothing changed, when the countdown does not run, or the copy has
// another paper key or another shape.
Status restoreExam(const RecoveryCopy& copy, ExamSession& session);

}  // namespace qzt
