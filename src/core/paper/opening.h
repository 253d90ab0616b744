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

// A paper that passed the header tests: what loading it reads, and the
// header whose opening password guards it.
struct OpenedPaper {
  std::filesystem::path path;
  std::int64_t offset = 0;
  PaperHeader header;
};

struct OpenOutcome {
  // The header could not be read (missing, short file): nothing changed.
  // Its fault names the reason for the window's report.
  std::optional<Error> ioError;
  // 0 accepted; 3, 4 or 5 refused by the header tests.
  int stateCode = 0;
  OpenedPaper paper;  // path and offset as given; the header once read
  bool needsPassword = false;
  // The support group unpacked for the hint (failures are shown, the open
  // goes on).
  GroupResult support;
  // The support anchor from now on: the group's, or the previous one when
  // the group placed no file directly in the work folder.
  std::optional<std::filesystem::path> supportAnchor;
  // Text of anchor + ".files/mmts.txt" when it existed; the file is deleted.
  std::optional<ByteString> hint;
};

// Where a group's entries start: 4 bytes after its stored position. A
// position so large that this overflows gives -1, which reads as a failure.
std::int32_t groupStart(std::int32_t pos);

struct SupportHint {
  GroupResult support;
  std::optional<std::filesystem::path> anchor;  // as OpenOutcome::supportAnchor
  std::optional<ByteString> hint;  // anchor + ".files/mmts.txt"; file deleted
};

// The support group unpacked into `workFolder` and its password hint taken
// out, as opening, loading and the grading password each do afresh. A group
// without a file directly in the work folder keeps `previousAnchor`, whose
// companion folder may hold this group's hint.
SupportHint unpackSupportHint(const std::filesystem::path& paper, const PaperHeader& header,
                              const std::filesystem::path& workFolder,
                              const std::optional<std::filesystem::path>& previousAnchor = {});

// openqztj up to the point where a password is asked or loading follows.
OpenOutcome openPaper(const std::filesystem::path& paper, std::int64_t offset,
                      const std::filesystem::path& workFolder,
                      const std::optional<std::filesystem::path>& previousAnchor = {});

enum class PageKind { None, PlainText, RichText, Web };

// A page the text view shows: plain text or RTF.
inline bool isTextPage(PageKind kind) { return kind == PageKind::PlainText || kind == PageKind::RichText; }

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

struct UnpackedPage {
  GroupResult page;                    // anchor = the page to show
  PageKind pageKind = PageKind::None;  // by the lower-cased extension
};

struct UnpackedSupport {
  GroupResult support;
  std::optional<std::filesystem::path> anchor;  // as OpenOutcome::supportAnchor
  std::optional<ByteString> hint;               // mmts.txt, file deleted
  bool showAbout = false;                       // about.txt longer than 1 byte
};

// The unpacking stages of loading, in their order: the page group is
// unpacked and shown before the support group is unpacked, so a support
// file of the same name cannot stand in for the page.
UnpackedPage unpackPage(const LoadedPaper& paper, const std::filesystem::path& workFolder);
UnpackedSupport unpackSupport(const LoadedPaper& paper, const std::filesystem::path& workFolder,
                              const std::optional<std::filesystem::path>& previousAnchor = {});

// The page of a paper that opens without asking anything (a header this
// reader takes, no opening password), unpacked before the paper is opened
// so that a window can read it while it is being built. Nothing is written
// for a paper that would ask first or be refused. Loading unpacks the page
// again in its own order.
std::optional<UnpackedPage> unpackPageAhead(const std::filesystem::path& paper, std::int64_t offset,
                                            const std::filesystem::path& workFolder);

struct UnpackedPaper : UnpackedPage, UnpackedSupport {};

// Both stages at once, for callers that show nothing in between.
UnpackedPaper unpackPaper(const LoadedPaper& paper, const std::filesystem::path& workFolder);

// The kind of page loading the paper would show, read from the page
// group's entry names alone; None when the paper would be refused or its
// page group cannot be read. Lets a window prepare for the page before the
// paper is opened; what loading finds decides.
PageKind expectedPageKind(const std::filesystem::path& paper, std::int64_t offset);

// ".txt" -> PlainText, ".rtf" -> RichText (case-insensitive), else Web;
// an empty path is None.
PageKind pageKindOf(const std::filesystem::path& page);

// Companion file `name` of a group anchor: anchor + ".files" / name.
std::filesystem::path companionFile(const std::filesystem::path& anchor, const char* name);

// Reads a file whole and deletes it; none when it does not exist.
std::optional<ByteString> takeFile(const std::filesystem::path& path);

}  // namespace qzt
