// Recovery copy of an exam in progress, so a crash or power cut does not
// lose the answers: which paper, the answers and the time left. One file
// per paper in a folder the caller chooses, named by a hash of the paper's
// path and key, and replaced atomically on every save.
//
// File format (text lines; byte fields are length-prefixed, so any bytes
// may appear in them):
//   qzt-recovery 1
//   path <n>\n<n bytes, UTF-8>\n
//   key <n>\n<n bytes>\n
//   title <n>\n<n bytes>\n
//   clock <minutes left> <seconds left>
//   shape <row count> <letter columns> <text answers>
//   cell <row> <column> <n>\n<n bytes>\n      (non-empty cells only)
//   text <index> <n>\n<n bytes>\n
//   end <FNV-1a 64 of every byte before "end", 16 hex digits>
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/answer_sheet.h"
#include "util/bytes.h"
#include "util/result.h"

namespace qzt {

struct RecoveryCell {
  int row = 0;
  int column = 0;
  ByteString text;

  bool operator==(const RecoveryCell&) const = default;
};

struct RecoveryCopy {
  std::filesystem::path paperPath;
  ByteString paperKey;
  ByteString title;
  int minutesLeft = 0;
  int secondsLeft = 0;
  int rowCount = 0;                      // questions + 1
  int letterColumns = 0;
  std::vector<RecoveryCell> cells;       // non-empty letter cells
  std::vector<ByteString> textAnswers;   // one per text-answer row

  bool operator==(const RecoveryCopy&) const = default;
};

// A copy of the answers in `sheet` and the clock.
RecoveryCopy makeRecoveryCopy(const std::filesystem::path& paperPath, const ByteString& paperKey,
                              const ByteString& title, const AnswerSheet& sheet, int minutesLeft,
                              int secondsLeft);

// Puts the copy's answers into `sheet` (every letter cell and text answer
// replaced). Refused when the sheet has another shape than the copy.
Status restoreAnswers(const RecoveryCopy& copy, AnswerSheet& sheet);

std::string serializeRecovery(const RecoveryCopy& copy);
// Refuses (ErrorKind::Corrupt) anything that is not a whole, intact copy.
Result<RecoveryCopy> parseRecovery(std::string_view bytes);

// FNV-1a, 64 bits.
std::uint64_t fnv1a64(std::string_view bytes);

// folder / "recovery-<hash of path and key>.qzr".
std::filesystem::path recoveryFilePath(const std::filesystem::path& folder,
                                       const std::filesystem::path& paperPath,
                                       const ByteString& paperKey);

// Writes the copy atomically, creating `folder` when needed. A failure
// leaves an earlier copy in place.
Status saveRecovery(const std::filesystem::path& folder, const RecoveryCopy& copy);

// The copy for this paper, or none when there is none (or the file belongs
// to another paper). A damaged copy is an error.
Result<std::optional<RecoveryCopy>> loadRecovery(const std::filesystem::path& folder,
                                                 const std::filesystem::path& paperPath,
                                                 const ByteString& paperKey);

// Removes the copy of this paper (after hand-in); failures are ignored.
void discardRecovery(const std::filesystem::path& folder, const std::filesystem::path& paperPath,
                     const ByteString& paperKey);

}  // namespace qzt
