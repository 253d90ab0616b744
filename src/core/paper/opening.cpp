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
                              const fs::path& workFolder) {
  SupportHint out;
  out.support = unpackGroup(paper, workFolder, header.supportGroupLen(),
                            groupStart(header.supportGroupPos()));
  if (out.support.anchor) {
    out.hint = takeFile(companionFile(*out.support.anchor, format::kHintFile));
  }
  return out;
}

OpenOutcome openPaper(const fs::path& paper, std::int64_t offset, const fs::path& workFolder) {
  OpenOutcome outcome;
  auto header = readHeader(paper, offset);
  if (!header.ok()) {
    outcome.ioError = header.error();
    return outcome;
  }
  outcome.candidate = *header;
  outcome.stateCode = testHeader(outcome.candidate);
  if (outcome.stateCode != 0) return outcome;
  outcome.needsPassword = hasPassword(outcome.candidate.openPasswordBlock());
  SupportHint support = unpackSupportHint(paper, outcome.candidate, workFolder);
  outcome.support = std::move(support.support);
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

UnpackedPaper unpackPaper(const LoadedPaper& paper, const fs::path& workFolder) {
  UnpackedPaper out;
  const PaperHeader& h = paper.header;
  out.page = unpackGroup(paper.path, workFolder, h.pageGroupLen(), groupStart(h.pageGroupPos()));
  if (out.page.anchor) out.pageKind = pageKindOf(*out.page.anchor);
  SupportHint support = unpackSupportHint(paper.path, h, workFolder);
  out.support = std::move(support.support);
  out.hint = std::move(support.hint);
  if (out.support.anchor) {
    out.showAbout = fileLength(companionFile(*out.support.anchor, format::kAboutFile)) > 1;
  }
  return out;
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
