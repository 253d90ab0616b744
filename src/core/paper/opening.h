// Opening and loading a paper, without any display: what the reader reads
// and unpacks, returned for the window to show.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "paper/header.h"
#include "paper/unpack.h"
#include "paper/question_table.h"
#include "util/bytes.h"
#include "util/result.h"

namespace qzt {

struct OpenOutcome {
  // The header could not be read (missing, short file): nothing changed.
  std::optional<Error> ioError;
  // 0 accepted; 3, 4 or 5 refused by the header tests.
  int stateCode = 0;
  PaperHeader candidate;
  bool needsPassword = false;
  // The support group unpacked for the hint (failures are shown, the open
  // goes on).
  GroupResult support;
  // Text of anchor + ".files/mmts.txt" when it existed; the file is deleted.
  std::optional<ByteString> hint;
};

// Where a group's entries start: 4 bytes after its stored position. A
// position so large that this overflows gives -1, which reads as a failure.
std::int32_t groupStart(std::int32_t pos);

struct SupportHint {
  GroupResult support;
  std::optional<ByteString> hint;  // anchor + ".files/mmts.txt"; file deleted
};

// The support group unpacked into `workFolder` and its password hint taken
// out, as opening, loading and the grading password each do afresh.
SupportHint unpackSupportHint(const std::filesystem::path& paper, const PaperHeader& header,
                              const std::filesystem::path& workFolder);

// openqztj up to the point where a password is asked or loading follows.
OpenOutcome openPaper(const std::filesystem::path& paper, std::int64_t offset,
                      const std::filesystem::path& workFolder);

enum class PageKind { None, PlainText, RichText, Web };

struct LoadedPaper {
  std::filesystem::path path;
  std::int64_t offset = 0;
  PaperHeader header;
  QuestionTable table;
};

// The first stages of loading: header ("gd1") and question table ("gd2")
// are read before anything on screen changes. The error's message is the
// stage label.
Result<LoadedPaper> readPaper(const std::filesystem::path& paper, std::int64_t offset);

struct UnpackedPaper {
  GroupResult page;                          // anchor = the page to show
  PageKind pageKind = PageKind::None;        // by the lower-cased extension
  GroupResult support;
  std::optional<ByteString> hint;            // mmts.txt, file deleted
  bool showAbout = false;                    // about.txt longer than 1 byte
};

// The unpacking stages of loading: the page group and the support group.
UnpackedPaper unpackPaper(const LoadedPaper& paper, const std::filesystem::path& workFolder);

// ".txt" -> PlainText, ".rtf" -> RichText (case-insensitive), else Web;
// an empty path is None.
PageKind pageKindOf(const std::filesystem::path& page);

// Companion file `name` of a group anchor: anchor + ".files" / name.
std::filesystem::path companionFile(const std::filesystem::path& anchor, const char* name);

// Reads a file whole and deletes it; none when it does not exist.
std::optional<ByteString> takeFile(const std::filesystem::path& path);

}  // namespace qzt
