// The paper's page (and, once unlocked, its notes) as the browser gets
// them: unpacked once into a private folder and served from there only.
// Web pages go out as they are; text and RTF pages as an HTML rendition.
// Every file carries a sandboxing Content-Security-Policy, so a page can
// reach neither the API nor the cookies.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>

#include "http_types.h"
#include "paper/opening.h"
#include "util/result.h"

namespace qzt::serve {

inline constexpr char kPageCsp[] =
    "sandbox allow-scripts; default-src 'self' 'unsafe-inline' data:; connect-src 'none'; "
    "form-action 'none'";

class PaperSite {
 public:
  // Unpacks the page into `workFolder`/page. An error when the page
  // cannot be unpacked.
  static Result<std::unique_ptr<PaperSite>> open(const LoadedPaper& paper,
                                                 const std::filesystem::path& workFolder);

  // {"kind", "src"} for GET /api/exam.
  nlohmann::json pageJson() const;
  // GET /paper/<rest>: `rest` as sent (percent-encoded).
  Response page(const std::string& rest) const;
  // GET /notes/<rest>, once unpackNotes() placed them.
  Response notes(const std::string& rest) const;
  // Unpacks the notes (after the grading password, where there is one).
  void unpackNotes();
  // "/notes/<file>" once the notes are unpacked, else "".
  std::string notesSrc() const;

 private:
  PaperSite(const LoadedPaper& paper, std::filesystem::path workFolder)
      : paper_(paper), work_(std::move(workFolder)) {}

  const LoadedPaper& paper_;
  std::filesystem::path work_;
  PageKind kind_ = PageKind::None;
  std::string pageSrc_;        // "/paper/..."
  std::string rendition_;      // HTML of a text or RTF page
  mutable std::mutex notesLock_;
  std::string notesSrc_;
};

// "/"-separated path below a folder, percent-decoded, or none when it is
// empty, has an empty, "." or ".." segment, an encoded "/" or "\", a NUL,
// a backslash or a drive colon.
std::optional<std::filesystem::path> safeRelativePath(const std::string& rest);

// A path below a folder as a URL path, each segment percent-encoded.
std::string urlPath(const std::filesystem::path& relative);

}  // namespace qzt::serve
