// Paper manifests: a JSON description of a paper that `qzt pack` turns
// into a paper file. Texts in the manifest are UTF-8 and become GBK; the
// bytes of the page, notes and companion files are packed as they are.
//
//   title, key, version ("1.0"), time_limit, open_password, grade_password,
//   status_text, about_caption, comments_by_percent,
//   page    a file relative to the manifest; NAME.files beside it, if any,
//           is packed as its companion folder
//   notes   the same, for the notes group
//   hint    text -> mmts.txt of the support group
//   about   text or list of lines -> about.txt of the support group
//   comments  list of {range: "60-79", lines: [...]} or raw text
//   pack_form "single" or "marked"; pack_blocks (marked: blocks per file);
//   pack_forms {"relative/path": "single"|"marked"} per file
//   questions list of {label, kind (number or "single", "multiple", "text",
//             "heading"), options, answer (text, or list of letters joined
//             with blanks as mouse entry leaves them), marks, key}
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "author/paper_writer.h"
#include "util/result.h"

namespace qzt::writer {

struct Manifest {
  PaperSpec spec;
  // Things the reader will accept but a candidate cannot satisfy (an
  // answer no typed text can match), for the author to see.
  std::vector<std::string> warnings;
};

// Reads a manifest file; relative paths in it are relative to its folder.
// Io for a file that cannot be read (the manifest or one it names), Usage
// for JSON or fields that do not make a paper.
Result<Manifest> loadManifest(const std::filesystem::path& manifest);

// The same from JSON text, with `baseDir` for the relative paths.
Result<Manifest> parseManifest(const std::string& json, const std::filesystem::path& baseDir);

// Name of the support group's anchor; its companion folder holds the hint
// and the about text.
inline constexpr char kSupportAnchor[] = "support.txt";

}  // namespace qzt::writer
