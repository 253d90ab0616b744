#include "paper/opening.h"

#include <fstream>
#include <iterator>
#include <limits>

#include "paper/password.h"

namespace qzt {

namespace fs = std::filesystem;

std::int32_t groupStart(std::int32_t pos) {
  if (pos > std::numeric_limits<std::int32_t>::max() - format::kGroupSkip) return -1;
  return pos + format::kGroupSkip;
}

SupportHint unpackSupportHint(const fs::path& paper, const PaperHeader& header,
                              const fs::path& workFolder,
                              const std::optional<fs::path>& previousAnchor) {
  SupportHint out;
  out.support = unpackGroup(paper, workFolder, header.supportGroupLen(),
                            groupStart(header.supportGroupPos()));
  out.anchor = out.support.anchor ? out.support.anchor : previousAnchor;
  if (out.anchor) out.hint = takeFile(companionFile(*out.anchor, format::kHintFile));
  return out;
}

OpenOutcome openPaper(const fs::path& paper, std::int64_t offset, const fs::path& workFolder,
                      const std::optional<fs::path>& previousAnchor) {
  OpenOutcome outcome;
  outcome.paper.path = paper;
  outcome.paper.offset = offset;
  outcome.supportAnchor = previousAnchor;
  auto header = readHeader(paper, offset);
  if (!header.ok()) {
    outcome.ioError = header.error();
    return outcome;
  }
  outcome.paper.header = *header;
  outcome.stateCode = testHeader(outcome.paper.header);
  if (outcome.stateCode != 0) return outcome;
  outcome.needsPassword = hasPassword(outcome.paper.header.openPasswordBlock());
  SupportHint support = unpackSupportHint(paper, outcome.paper.header, workFolder, previousAnchor);
  outcome.support = std::move(support.support);
  outcome.supportAnchor = std::move(support.anchor);
  outcome.hint = std::move(support.hint);
  return outcome;
}

Result<LoadedPaper> readPaper(const fs::path& paper, std::int64_t offset) {
  auto header = readHeader(paper, offset);
  if (!header.ok()) return Error::io("gd1");
  auto table = QuestionTable::load(paper, *header);
  if (!table.ok()) return Error::io("gd2");
  LoadedPaper loaded;
  loaded.path = paper;
  loaded.offset = offset;
  loaded.header = *header;
  loaded.table = std::move(*table);
  return loaded;
}

UnpackedPage unpackPage(const LoadedPaper& paper, const fs::path& workFolder) {
  UnpackedPage out;
  const PaperHeader& h = paper.header;
  out.page = unpackGroup(paper.path, workFolder, h.pageGroupLen(), groupStart(h.pageGroupPos()));
  if (out.page.anchor) out.pageKind = pageKindOf(*out.page.anchor);
  return out;
}

std::optional<UnpackedPage> unpackPageAhead(const fs::path& paper, std::int64_t offset,
                                            const fs::path& workFolder) {
  auto header = readHeader(paper, offset);
  if (!header.ok() || testHeader(*header) != 0 || hasPassword(header->openPasswordBlock())) {
    return std::nullopt;
  }
  LoadedPaper loaded;  // unpacking reads no question
  loaded.path = paper;
  loaded.offset = offset;
  loaded.header = *header;
  return unpackPage(loaded, workFolder);
}

UnpackedSupport unpackSupport(const LoadedPaper& paper, const fs::path& workFolder,
                              const std::optional<fs::path>& previousAnchor) {
  UnpackedSupport out;
  SupportHint support = unpackSupportHint(paper.path, paper.header, workFolder, previousAnchor);
  out.support = std::move(support.support);
  out.anchor = std::move(support.anchor);
  out.hint = std::move(support.hint);
  if (out.anchor) out.showAbout = fileLength(companionFile(*out.anchor, format::kAboutFile)) > 1;
  return out;
}

UnpackedPaper unpackPaper(const LoadedPaper& paper, const fs::path& workFolder) {
  return {unpackPage(paper, workFolder), unpackSupport(paper, workFolder)};
}

PageKind expectedPageKind(const fs::path& paper, std::int64_t offset) {
  auto header = readHeader(paper, offset);
  if (!header.ok() || testHeader(*header) != 0) return PageKind::None;
  const GroupResult names =
      walkGroupNames(paper, {}, header->pageGroupLen(), groupStart(header->pageGroupPos()));
  return names.anchor ? pageKindOf(*names.anchor) : PageKind::None;
}

PageKind pageKindOf(const fs::path& page) {
  if (page.empty()) return PageKind::None;
  const std::string name = page.filename().string();
  const auto dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (ext == ".txt") return PageKind::PlainText;
  if (ext == ".rtf") return PageKind::RichText;
  return PageKind::Web;
}

fs::path companionFile(const fs::path& anchor, const char* name) {
  fs::path folder = anchor;
  folder += format::kCompanionSuffix;
  return folder / name;
}

std::optional<ByteString> takeFile(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  ByteString bytes;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  fs::remove(path, ec);
  return bytes;
}

}  // namespace qzt
