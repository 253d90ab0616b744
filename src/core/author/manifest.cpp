#include "author/manifest.h"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>

#include "paper/format.h"
#include "util/file_bytes.h"
#include "util/gbk.h"

namespace qzt::writer {
namespace {

namespace f = qzt::format;
namespace fs = std::filesystem;
using nlohmann::json;

// Thrown inside this file only; the entry points turn it into a Result.
struct ManifestError {
  Error error;
};

[[noreturn]] void fail(const std::string& message) {
  throw ManifestError{Error{ErrorKind::Usage, message, 0}};
}

ByteString readBytes(const fs::path& path) {
  auto bytes = readFileBytes(path);
  if (!bytes.ok()) throw ManifestError{Error::io("cannot read " + pathToUtf8(path))};
  return std::move(bytes).value();
}

ByteString gbk(const std::string& utf8, const std::string& what) {
  auto r = utf8ToGbk(utf8);
  if (!r.ok()) fail(what + ": not valid UTF-8");
  return std::move(r).value();
}

// A short-string field: at most room - 1 bytes, never cut silently.
ByteString fieldText(const json& m, const char* name, f::ShortStringField field, const std::string& fallback) {
  if (!m.contains(name)) return gbk(fallback, name);
  if (!m[name].is_string()) fail(std::string(name) + ": expected text");
  ByteString text = gbk(m[name].get<std::string>(), name);
  if (text.size() > static_cast<std::size_t>(field.room - 1)) {
    fail(std::string(name) + ": " + std::to_string(text.size()) + " bytes in GBK, at most " +
         std::to_string(field.room - 1));
  }
  return text;
}

ByteString passwordText(const json& m, const char* name, std::size_t maxBytes) {
  if (!m.contains(name)) return {};
  if (!m[name].is_string()) fail(std::string(name) + ": expected text");
  ByteString text = gbk(m[name].get<std::string>(), name);
  if (text.size() > maxBytes) fail(std::string(name) + ": at most " + std::to_string(maxBytes) + " bytes in GBK");
  return text;
}

// Text, or a list of lines each ended by CR LF.
ByteString textOrLines(const json& v, const std::string& what) {
  if (v.is_string()) return gbk(v.get<std::string>(), what);
  if (!v.is_array()) fail(what + ": expected text or a list of lines");
  std::string joined;
  for (const auto& line : v) {
    if (!line.is_string()) fail(what + ": lines must be text");
    joined += line.get<std::string>() + "\r\n";
  }
  return gbk(joined, what);
}

PackForm formNamed(const json& v, const std::string& what) {
  if (v == "single") return PackForm::SingleBlock;
  if (v == "marked") return PackForm::MarkedRun;
  fail(what + ": expected \"single\" or \"marked\"");
}

struct Packing {
  PackForm form = PackForm::SingleBlock;
  int blocks = 1;
  std::map<std::string, PackForm> perFile;  // manifest-relative, "/" separated

  GroupEntry file(ByteString name, ByteString content, const std::string& relPath) const {
    auto it = perFile.find(relPath);
    return GroupEntry::file(std::move(name), std::move(content), it == perFile.end() ? form : it->second, blocks);
  }
};

ByteString entryName(const std::string& utf8) {
  ByteString name = gbk(utf8, "file name " + utf8);
  if (name.empty() || name.size() > static_cast<std::size_t>(f::kMaxNameLength)) {
    fail("file name " + utf8 + ": 1 to 255 bytes in GBK");
  }
  return name;
}

std::vector<fs::directory_entry> sortedChildren(const fs::path& dir) {
  std::vector<fs::directory_entry> children{fs::directory_iterator(dir), fs::directory_iterator()};
  std::sort(children.begin(), children.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  return children;
}

// A folder entry, its files, then each sub-folder the same way: a folder
// entry moves the current folder, so files follow their own folder's entry.
void addFolder(std::vector<GroupEntry>& entries, const fs::path& dir, const std::string& storedUtf8,
               const std::string& relPath, const Packing& packing) {
  entries.push_back(GroupEntry::folder(entryName(storedUtf8)));
  const auto children = sortedChildren(dir);
  for (const auto& child : children) {
    if (!child.is_regular_file()) continue;
    const std::string name = pathToUtf8(child.path().filename());
    entries.push_back(packing.file(entryName(name), readBytes(child.path()), relPath + "/" + name));
  }
  for (const auto& child : children) {
    // A linked folder could lead back up the tree and never end.
    if (!child.is_directory() || child.is_symlink()) continue;
    const std::string name = pathToUtf8(child.path().filename());
    addFolder(entries, child.path(), storedUtf8 + "\\" + name, relPath + "/" + name, packing);
  }
}

// The page or notes group: the file itself directly in the target (the
// anchor), then its companion folder NAME.files when there is one.
std::vector<GroupEntry> fileGroup(const json& v, const char* what, const fs::path& baseDir, const Packing& packing) {
  if (!v.is_string()) fail(std::string(what) + ": expected a file path");
  const std::string rel = v.get<std::string>();
  const fs::path file = baseDir / fs::path(std::u8string(rel.begin(), rel.end()));
  const std::string name = pathToUtf8(file.filename());
  std::vector<GroupEntry> entries;
  entries.push_back(packing.file(entryName(name), readBytes(file), rel));
  const fs::path companion = file.parent_path() / (file.filename().u8string() + u8".files");
  if (fs::is_directory(companion)) {
    const std::string companionName = name + f::kCompanionSuffix;
    const std::string companionRel = rel.substr(0, rel.size() - name.size()) + companionName;
    addFolder(entries, companion, companionName, companionRel, packing);
  }
  return entries;
}

std::vector<GroupEntry> supportGroup(const json& m, const Packing& packing) {
  std::vector<GroupEntry> entries;
  if (!m.contains("hint") && !m.contains("about")) return entries;
  const std::string anchor = kSupportAnchor;
  entries.push_back(packing.file(anchor, "support\r\n", anchor));
  entries.push_back(GroupEntry::folder(anchor + f::kCompanionSuffix));
  if (m.contains("hint")) {
    entries.push_back(packing.file(f::kHintFile, textOrLines(m["hint"], "hint"), f::kHintFile));
  }
  if (m.contains("about")) {
    entries.push_back(packing.file(f::kAboutFile, textOrLines(m["about"], "about"), f::kAboutFile));
  }
  return entries;
}

ByteString commentsText(const json& v) {
  if (v.is_string()) return gbk(v.get<std::string>(), "comments");
  if (!v.is_array()) fail("comments: expected text or a list of {range, lines}");
  std::string text;
  for (const auto& entry : v) {
    if (!entry.is_object() || !entry.contains("range") || !entry["range"].is_string()) {
      fail("comments: each entry needs a range such as \"60-79\"");
    }
    text += "评语 分数:" + entry["range"].get<std::string>() + "\r\n";
    for (const auto& line : entry.value("lines", json::array())) {
      if (!line.is_string()) fail("comments: lines must be text");
      text += line.get<std::string>() + "\r\n";
    }
  }
  return gbk(text, "comments");
}

std::int32_t kindOf(const json& v, int number) {
  const std::string where = "question " + std::to_string(number);
  if (v.is_number_integer()) return v.get<std::int32_t>();
  if (v == "single") return f::kKindSingle;
  if (v == "multiple") return f::kKindMultiple;
  if (v == "text") return f::kKindText;
  if (v == "heading") return f::kKindHeading;
  fail(where + ": kind is a number or one of single, multiple, text, heading");
}

unsigned shiftOf(unsigned key) { return (((key % 6) + 1) * key) % 256; }

// The stored answer ends at its first zero byte, so no byte may scramble
// to zero under the key.
bool keyKeepsAnswer(const ByteString& answer, unsigned key) {
  const unsigned d = shiftOf(key);
  return std::none_of(answer.begin(), answer.end(),
                      [d](char c) { return ((static_cast<unsigned char>(c) + d) & 0xFFu) == 0; });
}

unsigned char chooseKey(const json& q, const ByteString& answer, const std::string& where) {
  if (q.contains("key")) {
    const int key = q["key"].is_number_integer() ? q["key"].get<int>() : -1;
    if (key < 0 || key > 255) fail(where + ": key is 0 to 255");
    if (!keyKeepsAnswer(answer, static_cast<unsigned>(key))) fail(where + ": this key would cut the answer short");
    return static_cast<unsigned char>(key);
  }
  for (unsigned key = 7; key < 7 + 256; ++key) {
    if (keyKeepsAnswer(answer, key % 256)) return static_cast<unsigned char>(key % 256);
  }
  fail(where + ": no key can store this answer");
}

ByteString answerOf(const json& q, const std::string& where) {
  const json* v = q.contains("answer") ? &q["answer"] : q.contains("text") ? &q["text"] : nullptr;
  if (!v) return {};
  if (v->is_array()) {
    std::string joined;
    for (const auto& letter : *v) {
      if (!letter.is_string()) fail(where + ": answer letters must be text");
      joined += (joined.empty() ? "" : " ") + letter.get<std::string>();
    }
    return gbk(joined, where);
  }
  if (!v->is_string()) fail(where + ": answer is text or a list of letters");
  return gbk(v->get<std::string>(), where);
}

bool isLowerAscii(unsigned char b) { return b >= 0x61 && b <= 0x7A; }

// The reader upper-cases every byte 0x61..0x7A of the stored answer, the
// second byte of a double-byte character included.
void checkTextAnswer(const ByteString& a, const std::string& where, std::vector<std::string>& warnings) {
  bool lowerAscii = false;
  bool brokenTrail = false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto b = static_cast<unsigned char>(a[i]);
    if (b < 0x80) {
      lowerAscii = lowerAscii || isLowerAscii(b);
    } else if (i + 1 < a.size()) {
      const auto t = static_cast<unsigned char>(a[i + 1]);
      const bool fourByte = t >= 0x30 && t <= 0x39;
      brokenTrail = brokenTrail || (!fourByte && isLowerAscii(t));
      i += fourByte ? 3 : 1;
    }
  }
  if (brokenTrail) warnings.push_back(where + ": the reader changes this answer's characters; no typed text can match it");
  if (lowerAscii) warnings.push_back(where + ": the reader upper-cases the answer; only capitals will match");
}

// What mouse entry can give: "" or letters in column order joined by blanks.
void checkChoiceAnswer(const ByteString& a, int options, const std::string& where, std::vector<std::string>& warnings) {
  ByteString upper = a;
  for (auto& c : upper) {
    if (isLowerAscii(static_cast<unsigned char>(c))) c = static_cast<char>(c - 32);
  }
  char last = 'A' - 1;
  for (std::size_t i = 0; i < upper.size(); ++i) {
    const char c = upper[i];
    const bool letterSlot = i % 2 == 0;
    const bool ok = letterSlot ? (c > last && c < 'A' + options) : c == ' ';
    if (!ok || (!letterSlot && i + 1 == upper.size())) {
      warnings.push_back(where + ": chosen letters are compared as \"A C\" (in order, one blank between)");
      return;
    }
    if (letterSlot) last = c;
  }
}

QuestionSpec question(const json& q, int number, std::vector<std::string>& warnings) {
  const std::string where = "question " + std::to_string(number);
  if (!q.is_object()) fail(where + ": expected an object");
  QuestionSpec spec;
  spec.kind = kindOf(q.value("kind", json("single")), number);
  const bool choice = spec.kind < f::kKindText;
  const bool graded = spec.kind < f::kFirstUngradedKind;
  spec.label = gbk(q.value("label", std::string()), where);
  if (spec.label.size() > static_cast<std::size_t>(f::kRowLabelMax)) fail(where + ": label is at most 40 bytes in GBK");
  spec.optionCount = q.value("options", choice ? 4 : 0);
  spec.answer = answerOf(q, where);
  if (spec.answer.size() > static_cast<std::size_t>(f::kAnswerTextMax)) fail(where + ": answer is at most 160 bytes in GBK");
  if (spec.answer.find('\0') != ByteString::npos) fail(where + ": answer holds a zero byte");
  spec.marks = q.value("marks", graded ? 1.0 : 0.0);
  spec.key = chooseKey(q, spec.answer, where);
  if (spec.kind == f::kKindText) checkTextAnswer(spec.answer, where, warnings);
  if (choice) checkChoiceAnswer(spec.answer, spec.optionCount, where, warnings);
  return spec;
}

Packing packingOf(const json& m) {
  Packing p;
  if (m.contains("pack_form")) p.form = formNamed(m["pack_form"], "pack_form");
  p.blocks = m.value("pack_blocks", 1);
  if (p.blocks < 1) fail("pack_blocks: at least 1");
  if (m.contains("pack_forms")) {
    if (!m["pack_forms"].is_object()) fail("pack_forms: expected {\"path\": \"single\"|\"marked\"}");
    for (const auto& [path, form] : m["pack_forms"].items()) p.perFile[path] = formNamed(form, "pack_forms");
  }
  return p;
}

Manifest build(const json& m, const fs::path& baseDir) {
  if (!m.is_object()) fail("a manifest is a JSON object");
  Manifest out;
  PaperSpec& s = out.spec;
  s.title = fieldText(m, "title", f::kTitle, "");
  s.paperKey = fieldText(m, "key", f::kPaperKey, "");
  if (s.paperKey.empty()) out.warnings.push_back("key: empty; the reader will neither save nor import answers");
  s.formatVersion = fieldText(m, "version", f::kFormatVersion, f::kReaderVersion);
  s.statusText = fieldText(m, "status_text", f::kStatusText, "");
  s.aboutCaption = fieldText(m, "about_caption", f::kAboutCaption, "");
  s.timeLimit = m.value("time_limit", 60);
  // Both blocks end their password before byte 29, which holds a length term.
  s.openPassword = passwordText(m, "open_password", 26);
  s.gradePassword = passwordText(m, "grade_password", 25);
  s.commentsByPercent = m.value("comments_by_percent", false);
  const Packing packing = packingOf(m);
  if (m.contains("page")) s.page = fileGroup(m["page"], "page", baseDir, packing);
  if (m.contains("notes")) s.notes = fileGroup(m["notes"], "notes", baseDir, packing);
  s.support = supportGroup(m, packing);
  if (m.contains("comments")) {
    s.comments = commentsText(m["comments"]);
    s.commentsForm = packing.form;
  }
  const json questions = m.value("questions", json::array());
  if (!questions.is_array()) fail("questions: expected a list");
  if (questions.size() > static_cast<std::size_t>(f::kMaxQuestions)) fail("questions: at most 1002");
  int number = 0;
  for (const auto& q : questions) s.questions.push_back(question(q, ++number, out.warnings));
  return out;
}

}  // namespace

Result<Manifest> parseManifest(const std::string& text, const fs::path& baseDir) {
  const json m = json::parse(text, nullptr, false);
  if (m.is_discarded()) return Error{ErrorKind::Usage, "the manifest is not valid JSON", 0};
  try {
    return build(m, baseDir);
  } catch (const ManifestError& e) {
    return e.error;
  } catch (const fs::filesystem_error& e) {
    return Error::io(e.what());
  } catch (const json::exception& e) {
    return Error{ErrorKind::Usage, std::string("manifest: ") + e.what(), 0};
  }
}

Result<Manifest> loadManifest(const fs::path& manifest) {
  auto text = readFileBytes(manifest);
  if (!text.ok()) return Error::io("cannot read " + pathToUtf8(manifest));
  return parseManifest(*text, manifest.parent_path());
}

}  // namespace qzt::writer
