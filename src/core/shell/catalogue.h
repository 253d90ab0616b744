// The paper catalogue: "ksml.txt" beside the program lists papers, one
// path per line relative to the program folder, with or without ".qzt".
// Lines are GBK and used exactly as written (no trimming, no comments); a
// NUL ends the text. "\" in a line is a path separator.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "util/result.h"

namespace qzt {

inline constexpr char kCatalogueFileName[] = "ksml.txt";

struct CatalogueEntry {
  std::filesystem::path path;  // full path of the paper
  std::string displayName;     // UTF-8: file name without its last 4 characters
};

struct Catalogue {
  bool present = false;                // the catalogue file exists
  std::vector<CatalogueEntry> entries; // existing papers, in file order
};

using FileExists = std::function<bool(const std::filesystem::path&)>;

// Entries for the catalogue text. ".qzt" is appended to a line unless the
// full path (program folder included) already contains ".qzt", exactly in
// lower case. Lines whose file does not exist are skipped.
std::vector<CatalogueEntry> readCatalogue(const std::filesystem::path& programFolder,
                                          std::string_view catalogueBytes,
                                          const FileExists& exists);

// Reads programFolder/ksml.txt and checks the files on disk. A missing
// catalogue file is not an error (present = false); an unreadable one is.
Result<Catalogue> loadCatalogue(const std::filesystem::path& programFolder);

}  // namespace qzt
