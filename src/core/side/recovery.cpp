#include "side/recovery.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

#include "util/platform.h"

namespace fs = std::filesystem;

namespace qzt {
namespace {

constexpr std::string_view kVersionLine = "qzt-recovery 1";
constexpr int kMaxRows = 1003;      // 1002 questions + the header row
constexpr int kMaxColumns = 4096;

std::string utf8Path(const fs::path& p) {
  const std::u8string u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

void putField(std::string& out, std::string_view name, std::string_view bytes) {
  out += name;
  out += ' ' + std::to_string(bytes.size()) + '\n';
  out += bytes;
  out += '\n';
}

std::string hex16(std::uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

// A cursor over the copy's bytes that never reads past the end.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : rest_(bytes) {}

  bool atEnd() const { return rest_.empty(); }

  // The next line without its "\n"; none when no "\n" follows.
  std::optional<std::string_view> line() {
    const std::size_t nl = rest_.find('\n');
    if (nl == std::string_view::npos) return std::nullopt;
    std::string_view l = rest_.substr(0, nl);
    rest_.remove_prefix(nl + 1);
    return l;
  }

  // n bytes followed by "\n".
  std::optional<std::string_view> bytes(std::size_t n) {
    if (n >= rest_.size() || rest_[n] != '\n') return std::nullopt;
    std::string_view b = rest_.substr(0, n);
    rest_.remove_prefix(n + 1);
    return b;
  }

 private:
  std::string_view rest_;
};

// Splits "word a b c" into the word and up to 3 integers in [lo, hi].
struct Record {
  std::string_view word;
  std::vector<long long> numbers;
};

std::optional<Record> readRecord(std::string_view text, long long lo, long long hi) {
  Record r;
  const std::size_t sp = text.find(' ');
  r.word = text.substr(0, sp);
  if (sp == std::string_view::npos) return r;
  text.remove_prefix(sp + 1);
  while (true) {
    const std::size_t next = text.find(' ');
    const std::string_view token = text.substr(0, next);
    long long v = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
    if (token.empty() || ec != std::errc{} || end != token.data() + token.size()) return std::nullopt;
    if (v < lo || v > hi || r.numbers.size() == 3) return std::nullopt;
    r.numbers.push_back(v);
    if (next == std::string_view::npos) return r;
    text.remove_prefix(next + 1);
  }
}

constexpr long long kIntMin = std::numeric_limits<int>::min();
constexpr long long kIntMax = std::numeric_limits<int>::max();

Error damaged() { return Error::corrupt("the recovery copy is damaged"); }

// "name <n>" then n bytes.
std::optional<std::string_view> readField(Reader& in, std::string_view name) {
  const auto head = in.line();
  if (!head) return std::nullopt;
  const auto rec = readRecord(*head, 0, kIntMax);
  if (!rec || rec->word != name || rec->numbers.size() != 1) return std::nullopt;
  return in.bytes(static_cast<std::size_t>(rec->numbers[0]));
}

bool readHeader(Reader& in, RecoveryCopy& copy) {
  const auto version = in.line();
  if (!version || *version != kVersionLine) return false;
  const auto path = readField(in, "path");
  const auto key = path ? readField(in, "key") : std::nullopt;
  const auto title = key ? readField(in, "title") : std::nullopt;
  if (!title) return false;
  copy.paperPath = fs::path(std::u8string(path->begin(), path->end()));
  copy.paperKey = ByteString(*key);
  copy.title = ByteString(*title);

  const auto clockLine = in.line();
  const auto clock = clockLine ? readRecord(*clockLine, kIntMin, kIntMax) : std::nullopt;
  if (!clock || clock->word != "clock" || clock->numbers.size() != 2) return false;
  copy.minutesLeft = static_cast<int>(clock->numbers[0]);
  copy.secondsLeft = static_cast<int>(clock->numbers[1]);

  const auto shapeLine = in.line();
  const auto shape = shapeLine ? readRecord(*shapeLine, 0, kMaxColumns) : std::nullopt;
  if (!shape || shape->word != "shape" || shape->numbers.size() != 3) return false;
  if (shape->numbers[0] < 1 || shape->numbers[0] > kMaxRows || shape->numbers[2] >= kMaxRows) return false;
  copy.rowCount = static_cast<int>(shape->numbers[0]);
  copy.letterColumns = static_cast<int>(shape->numbers[1]);
  copy.textAnswers.resize(static_cast<std::size_t>(shape->numbers[2]));
  return true;
}

// Cell and text records up to "end"; returns the "end" line's hash text.
std::optional<std::string_view> readAnswers(Reader& in, RecoveryCopy& copy) {
  while (true) {
    const auto head = in.line();
    if (!head) return std::nullopt;
    if (head->starts_with("end ")) return head->substr(4);
    const auto rec = readRecord(*head, 0, kIntMax);
    if (!rec) return std::nullopt;
    if (rec->word == "cell" && rec->numbers.size() == 3) {
      const long long row = rec->numbers[0], column = rec->numbers[1];
      if (row < 1 || row >= copy.rowCount || column < 1 || column > copy.letterColumns) return std::nullopt;
      const auto text = in.bytes(static_cast<std::size_t>(rec->numbers[2]));
      if (!text) return std::nullopt;
      copy.cells.push_back({static_cast<int>(row), static_cast<int>(column), ByteString(*text)});
    } else if (rec->word == "text" && rec->numbers.size() == 2) {
      const auto index = static_cast<std::size_t>(rec->numbers[0]);
      if (index >= copy.textAnswers.size()) return std::nullopt;
      const auto text = in.bytes(static_cast<std::size_t>(rec->numbers[1]));
      if (!text) return std::nullopt;
      copy.textAnswers[index] = ByteString(*text);
    } else {
      return std::nullopt;
    }
  }
}

}  // namespace

std::uint64_t fnv1a64(std::string_view bytes) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
  return h;
}

RecoveryCopy makeRecoveryCopy(const fs::path& paperPath, const ByteString& paperKey,
                              const ByteString& title, const AnswerSheet& sheet, int minutesLeft,
                              int secondsLeft) {
  RecoveryCopy copy;
  copy.paperPath = paperPath;
  copy.paperKey = paperKey;
  copy.title = title;
  copy.minutesLeft = minutesLeft;
  copy.secondsLeft = secondsLeft;
  copy.rowCount = sheet.rowCount();
  copy.letterColumns = sheet.letterColumns();
  for (int row = 1; row < sheet.rowCount(); ++row) {
    for (int column = 1; column <= sheet.letterColumns(); ++column) {
      const ByteString& text = sheet.cell(row, column);
      if (!text.empty()) copy.cells.push_back({row, column, text});
    }
  }
  for (int n = 0; n < sheet.textAnswerCount(); ++n) copy.textAnswers.push_back(sheet.textAnswer(n));
  return copy;
}

Status restoreAnswers(const RecoveryCopy& copy, AnswerSheet& sheet) {
  if (sheet.rowCount() != copy.rowCount || sheet.letterColumns() != copy.letterColumns ||
      sheet.textAnswerCount() != static_cast<int>(copy.textAnswers.size())) {
    return Error::refused("the recovery copy does not fit this paper");
  }
  for (int row = 1; row < sheet.rowCount(); ++row) {
    for (int column = 1; column <= sheet.letterColumns(); ++column) sheet.setCell(row, column, {});
  }
  for (const RecoveryCell& cell : copy.cells) sheet.setCell(cell.row, cell.column, cell.text);
  for (std::size_t n = 0; n < copy.textAnswers.size(); ++n) {
    sheet.setTextAnswer(static_cast<int>(n), copy.textAnswers[n]);
  }
  return Status::success();
}

std::string serializeRecovery(const RecoveryCopy& copy) {
  std::string out(kVersionLine);
  out += '\n';
  putField(out, "path", utf8Path(copy.paperPath));
  putField(out, "key", copy.paperKey);
  putField(out, "title", copy.title);
  out += "clock " + std::to_string(copy.minutesLeft) + ' ' + std::to_string(copy.secondsLeft) + '\n';
  out += "shape " + std::to_string(copy.rowCount) + ' ' + std::to_string(copy.letterColumns) + ' ' +
         std::to_string(copy.textAnswers.size()) + '\n';
  for (const RecoveryCell& cell : copy.cells) {
    putField(out, "cell " + std::to_string(cell.row) + ' ' + std::to_string(cell.column), cell.text);
  }
  for (std::size_t n = 0; n < copy.textAnswers.size(); ++n) {
    putField(out, "text " + std::to_string(n), copy.textAnswers[n]);
  }
  out += "end " + hex16(fnv1a64(out)) + '\n';
  return out;
}

Result<RecoveryCopy> parseRecovery(std::string_view bytes) {
  Reader in(bytes);
  RecoveryCopy copy;
  if (!readHeader(in, copy)) return damaged();
  const auto hash = readAnswers(in, copy);
  if (!hash || !in.atEnd()) return damaged();
  // The hash covers everything before the "end " line.
  const std::size_t body = bytes.size() - hash->size() - std::string_view("end \n").size();
  if (*hash != hex16(fnv1a64(bytes.substr(0, body)))) return damaged();
  return copy;
}

fs::path recoveryFilePath(const fs::path& folder, const fs::path& paperPath,
                          const ByteString& paperKey) {
  std::string identity = utf8Path(paperPath);
  identity += '\0';
  identity += paperKey;
  return folder / ("recovery-" + hex16(fnv1a64(identity)) + ".qzr");
}

Status saveRecovery(const fs::path& folder, const RecoveryCopy& copy) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return Error::io("cannot create " + folder.string() + " (" + ec.message() + ")");
  return platform::writeFileAtomically(recoveryFilePath(folder, copy.paperPath, copy.paperKey),
                                       serializeRecovery(copy));
}

Result<std::optional<RecoveryCopy>> loadRecovery(const fs::path& folder, const fs::path& paperPath,
                                                 const ByteString& paperKey) {
  const fs::path file = recoveryFilePath(folder, paperPath, paperKey);
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return std::optional<RecoveryCopy>{};
  std::ifstream in(file, std::ios::binary);
  if (!in) return Error::io("cannot read " + file.string());
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return Error::io("cannot read " + file.string());
  auto copy = parseRecovery(bytes);
  if (!copy) return copy.error();
  if (copy->paperPath != paperPath || copy->paperKey != paperKey) return std::optional<RecoveryCopy>{};
  return std::optional<RecoveryCopy>{std::move(copy).value()};
}

void discardRecovery(const fs::path& folder, const fs::path& paperPath, const ByteString& paperKey) {
  std::error_code ignored;
  fs::remove(recoveryFilePath(folder, paperPath, paperKey), ignored);
}

}  // namespace qzt
