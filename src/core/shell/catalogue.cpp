#include "shell/catalogue.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "side/gbk_ascii.h"
#include "side/text_lines.h"
#include "util/gbk.h"

namespace fs = std::filesystem;

namespace qzt {
namespace {

constexpr std::string_view kPaperExtension = ".qzt";

// The folder as UTF-8 text that ends in a separator.
std::string folderText(const fs::path& folder) {
  const std::u8string u8 = folder.generic_u8string();
  std::string text(u8.begin(), u8.end());
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

// Folder and line are joined as text, as the reader always did: a line
// that starts with "/" stays below the folder.
fs::path joinAsText(const std::string& folder, const ByteString& gbkLine) {
  const std::string text = folder + gbkToUtf8(gbkLine);
  return fs::path(std::u8string(text.begin(), text.end()));
}

// File-name part of a GBK path with "/" separators, less its last 4 bytes.
std::string displayName(const ByteString& gbkPath) {
  const std::size_t slash = gbkPath.rfind('/');
  ByteString name = slash == ByteString::npos ? gbkPath : gbkPath.substr(slash + 1);
  name.resize(name.size() > 4 ? name.size() - 4 : 0);
  return gbkToUtf8(name);
}

bool isExistingFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

}  // namespace

std::vector<CatalogueEntry> readCatalogue(const fs::path& programFolder,
                                          std::string_view catalogueBytes,
                                          const FileExists& exists) {
  const std::size_t nul = catalogueBytes.find('\0');
  if (nul != std::string_view::npos) catalogueBytes = catalogueBytes.substr(0, nul);
  const std::string folder = folderText(programFolder);
  const bool folderHasExtension = folder.find(kPaperExtension) != std::string::npos;

  std::vector<CatalogueEntry> entries;
  for (const ByteString& raw : splitLines(catalogueBytes)) {
    ByteString line = backslashesToSlashesGbk(raw);
    if (!folderHasExtension && line.find(kPaperExtension) == ByteString::npos) {
      line += kPaperExtension;
    }
    fs::path full = joinAsText(folder, line);
    if (!exists(full)) continue;
    entries.push_back(CatalogueEntry{std::move(full), displayName(line)});
  }
  return entries;
}

Result<Catalogue> loadCatalogue(const fs::path& programFolder) {
  const fs::path file = programFolder / kCatalogueFileName;
  std::error_code ec;
  if (!fs::exists(file, ec)) return Catalogue{};
  std::ifstream in(file, std::ios::binary);
  if (!in) return Error::file(FileFault::Unreadable, "cannot read " + file.string());
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return Error::file(FileFault::Unreadable, "cannot read " + file.string());
  return Catalogue{true, readCatalogue(programFolder, bytes, isExistingFile)};
}

}  // namespace qzt
