#include "paper_site.h"

#include "json_io.h"
#include "paper/unpack.h"
#include "report/html_writer.h"
#include "side/rtf_html.h"
#include "util/file_bytes.h"
#include "util/gbk.h"

namespace qzt::serve {
namespace fs = std::filesystem;
namespace {

constexpr char kRenditionName[] = "qzt-page.html";
constexpr std::uintmax_t kPageFileLimit = 256u << 20;

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string contentTypeOf(const fs::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const std::pair<const char*, const char*> kTypes[] = {
      {".html", "text/html"}, {".htm", "text/html"}, {".css", "text/css"},
      {".js", "text/javascript"}, {".png", "image/png"}, {".jpg", "image/jpeg"},
      {".jpeg", "image/jpeg"}, {".gif", "image/gif"}, {".svg", "image/svg+xml"},
      {".bmp", "image/bmp"}, {".txt", "text/plain"}, {".mp3", "audio/mpeg"},
      {".wav", "audio/wav"}, {".mp4", "video/mp4"}, {".swf", "application/octet-stream"}};
  for (const auto& [e, type] : kTypes) {
    if (ext == e) return type;
  }
  return "application/octet-stream";
}

// Text page bytes as UTF-8: a byte-order mark wins, else GBK.
std::string decodeTextPage(const std::string& bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return bytes.substr(3);
  const bool le = bytes.starts_with("\xFF\xFE"), be = bytes.starts_with("\xFE\xFF");
  if (!le && !be) return gbkToUtf8(bytes);
  std::string out;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(bytes[le ? i : i + 1]);
    const auto hi = static_cast<unsigned char>(bytes[le ? i + 1 : i]);
    unsigned cp = (hi << 8) | lo;
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;  // pairs are rare in a paper; shown as unknown
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string textDocument(const std::string& utf8) {
  return "<!doctype html><html><head><meta charset=\"utf-8\"></head><body>"
         "<pre style=\"white-space:pre-wrap;font-family:sans-serif\">" +
         report::htmlEscape(utf8) + "</pre></body></html>";
}

Response fileResponse(const fs::path& root, const std::string& rest) {
  Response notFound = errorResponse(404, "not found");
  const auto relative = safeRelativePath(rest);
  if (!relative) return errorResponse(400, "bad path");
  std::error_code ec;
  const fs::path base = fs::canonical(root, ec);
  if (ec) return notFound;
  const fs::path file = fs::canonical(base / *relative, ec);
  if (ec || !fs::is_regular_file(file, ec)) return notFound;
  // Symbolic links that lead out of the folder are not followed out.
  const auto [rootEnd, fileAt] = std::mismatch(base.begin(), base.end(), file.begin(), file.end());
  if (rootEnd != base.end()) return notFound;
  auto bytes = readFileBytes(file, kPageFileLimit);
  if (!bytes.ok()) return notFound;
  Response r;
  r.contentType = contentTypeOf(file);
  r.body = std::move(bytes).value();
  r.headers.emplace_back("Content-Security-Policy", kPageCsp);
  return r;
}

}  // namespace

std::optional<fs::path> safeRelativePath(const std::string& rest) {
  fs::path out;
  std::size_t start = 0;
  while (start <= rest.size()) {
    const std::size_t end = std::min(rest.find('/', start), rest.size());
    std::string segment;
    for (std::size_t i = start; i < end; ++i) {
      char c = rest[i];
      if (c == '%') {
        const int hi = i + 2 < end ? hexValue(rest[i + 1]) : -1;
        const int lo = hi >= 0 ? hexValue(rest[i + 2]) : -1;
        if (lo < 0) return std::nullopt;
        c = static_cast<char>(hi * 16 + lo);
        i += 2;
        if (c == '/') return std::nullopt;
      }
      if (c == '\\' || c == '\0' || c == ':') return std::nullopt;
      segment += c;
    }
    if (segment.empty() || segment == "." || segment == "..") return std::nullopt;
    out /= fs::path(std::u8string(segment.begin(), segment.end()));
    start = end + 1;
  }
  return out;
}

std::string urlPath(const fs::path& relative) {
  std::string out;
  for (const fs::path& part : relative) {
    if (!out.empty()) out += '/';
    const std::u8string u = part.u8string();
    for (char8_t ch : u) {
      const auto c = static_cast<unsigned char>(ch);
      if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
        out += static_cast<char>(c);
      } else {
        static constexpr char kHex[] = "0123456789ABCDEF";
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
      }
    }
  }
  return out;
}

Result<std::unique_ptr<PaperSite>> PaperSite::open(const LoadedPaper& paper, const fs::path& workFolder) {
  std::unique_ptr<PaperSite> site(new PaperSite(paper, workFolder));
  std::error_code ec;
  fs::create_directories(workFolder / "page", ec);
  const UnpackedPage page = unpackPage(paper, workFolder / "page");
  if (page.page.failure) return *page.page.failure;
  if (!page.page.anchor) return Error::corrupt("the paper has no page");
  site->kind_ = page.pageKind;
  const fs::path relative = page.page.anchor->lexically_relative(workFolder / "page");
  if (page.pageKind == PageKind::Web) {
    site->pageSrc_ = "/paper/" + urlPath(relative);
    return site;
  }
  auto bytes = readFileBytes(*page.page.anchor, kPageFileLimit);
  if (!bytes.ok()) return bytes.error();
  site->rendition_ = page.pageKind == PageKind::RichText ? rtfHtmlDocument(bytes.value())
                                                         : textDocument(decodeTextPage(bytes.value()));
  site->pageSrc_ = std::string("/paper/") + kRenditionName;
  return site;
}

nlohmann::json PaperSite::pageJson() const {
  const char* kind = kind_ == PageKind::Web ? "web" : kind_ == PageKind::RichText ? "rtf" : "text";
  return {{"kind", kind}, {"src", pageSrc_}};
}

Response PaperSite::page(const std::string& rest) const {
  if (!rendition_.empty() && rest == kRenditionName) {
    Response r;
    r.contentType = "text/html; charset=utf-8";
    r.body = rendition_;
    r.headers.emplace_back("Content-Security-Policy", kPageCsp);
    return r;
  }
  return fileResponse(work_ / "page", rest);
}

Response PaperSite::notes(const std::string& rest) const {
  if (notesSrc().empty()) return errorResponse(404, "not found");
  return fileResponse(work_ / "notes", rest);
}

void PaperSite::unpackNotes() {
  std::lock_guard guard(notesLock_);
  if (!notesSrc_.empty() || paper_.header.notesGroupLen() <= 0) return;
  std::error_code ec;
  fs::create_directories(work_ / "notes", ec);
  const GroupResult notes = unpackGroup(paper_.path, work_ / "notes", paper_.header.notesGroupLen(),
                                        groupStart(paper_.header.notesGroupPos()));
  if (notes.failure || !notes.anchor) return;
  notesSrc_ = "/notes/" + urlPath(notes.anchor->lexically_relative(work_ / "notes"));
}

std::string PaperSite::notesSrc() const {
  std::lock_guard guard(notesLock_);
  return notesSrc_;
}

}  // namespace qzt::serve
