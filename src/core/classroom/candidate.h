// One candidate of the room and the small state file kept beside their
// answer file: everything but the answers, which live in the `.da` file
// itself so every tool reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sheet/answer_sheet.h"
#include "util/result.h"

namespace qzt::classroom {

enum class Status { SignedIn, Answering, HandedIn };

struct Candidate {
  int id = 0;
  std::string name;    // UTF-8
  std::string number;  // UTF-8
  std::string stem;    // file names: stem + ".da", stem + ".state"
  std::string tokenHash;   // of the live session; empty when none
  std::string resumeHash;  // of the resume code
  int wrongResumes = 0;    // since the last good code or let-in
  Status status = Status::SignedIn;
  std::int64_t version = 0;                 // of the answers, the client's counter
  std::optional<std::int64_t> startedAt;    // room seconds at the first view
  std::int64_t extraSeconds = 0;            // extensions
  std::int64_t lastSeenMs = 0;              // monotonic, not kept on disk
  AnswerSheet sheet;
};

// The state file's bytes (JSON, UTF-8).
std::string stateFileBytes(const Candidate& c);

// A candidate from a state file's bytes, without answers. Refused when the
// bytes are not such a file.
Result<Candidate> parseStateFile(const std::string& bytes);

}  // namespace qzt::classroom
