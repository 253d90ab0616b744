#include "classroom/classroom.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <random>

#include "classroom/file_names.h"
#include "paper/password.h"
#include "sheet/grid_layout.h"
#include "side/answer_file.h"
#include "util/file_bytes.h"
#include "util/gbk.h"
#include "util/platform.h"
#include "util/sha256.h"

namespace qzt::classroom {
namespace fs = std::filesystem;
namespace {

constexpr char kRoomFile[] = "room.qzt-room";
constexpr char kStateExt[] = ".state";
constexpr int kMaxWrongResumes = 10;
constexpr std::size_t kMaxIdentityBytes = 64;

}  // namespace

std::string newSecretToken() {
  static thread_local std::random_device device;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (int i = 0; i < 32; ++i) {
    const unsigned v = device() & 0xFF;
    out.push_back(kHex[v >> 4]);
    out.push_back(kHex[v & 0xF]);
  }
  return out;
}

namespace {

// Six characters a person reads out without doubt (no 0/O, 1/I/L, U/V).
std::string newResumeCode() {
  static constexpr char kLetters[] = "23456789ABCDEFGHJKMNPQRSTWXYZ";
  static thread_local std::random_device device;
  std::string code;
  for (int i = 0; i < 6; ++i) {
    if (i == 3) code.push_back('-');
    code.push_back(kLetters[device() % (sizeof kLetters - 1)]);
  }
  return code;
}

std::string normalCode(const std::string& typed) {
  std::string out;
  for (char c : typed) {
    if (c == '-' || c == ' ') continue;
    out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
  }
  return out;
}

std::string codeHash(int id, const std::string& code) {
  return sha256Hex(std::to_string(id) + ":" + normalCode(code));
}

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool usableIdentity(const std::string& s) {
  if (s.empty() || s.size() > kMaxIdentityBytes || !utf8ToGbk(s).ok()) return false;
  return std::none_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string identityKey(const std::string& name, const std::string& number) { return name + "\n" + number; }

}  // namespace

Classroom::Classroom(const LoadedPaper& paper, RoomOptions options, std::int64_t keptSeconds,
                     std::int64_t nowMs)
    : paper_(paper),
      options_(std::move(options)),
      letterColumns_(grid::paperLayout(paper.table).letterColumns),
      clock_(keptSeconds, nowMs),
      gradePasswordGiven_(options_.gradePasswordGiven),
      grader_(paper) {}

Result<std::unique_ptr<Classroom>> Classroom::open(const LoadedPaper& paper, RoomOptions options,
                                                   std::int64_t nowMs) {
  std::error_code ec;
  fs::create_directories(options.answersDir, ec);
  if (ec) return Error::io("cannot make " + pathToUtf8(options.answersDir) + ": " + ec.message());
  std::int64_t kept = 0;
  bool open = true;
  if (auto room = readFileBytes(options.answersDir / kRoomFile, 4096); room.ok()) {
    const auto j = nlohmann::json::parse(room.value(), nullptr, false);
    if (j.is_object()) {
      kept = std::max<std::int64_t>(0, j.value("seconds", std::int64_t{0}));
      open = j.value("open", true);
    }
  }
  std::unique_ptr<Classroom> room(new Classroom(paper, std::move(options), kept, nowMs));
  room->open_ = open;
  room->keptRoomSeconds_ = kept;
  room->keptOpen_ = open;
  if (auto replayed = room->replay(nowMs); !replayed.ok()) return replayed.error();
  return room;
}

Result<bool> Classroom::replay(std::int64_t nowMs) {
  std::error_code ec;
  std::vector<Entry*> handedIn;
  for (const auto& item : fs::directory_iterator(options_.answersDir, ec)) {
    if (!item.is_regular_file() || item.path().extension() != kStateExt) continue;
    auto bytes = readFileBytes(item.path(), 1 << 16);
    if (!bytes.ok()) continue;
    auto parsed = parseStateFile(bytes.value());
    if (!parsed.ok() || entries_.count(parsed.value().id) > 0) continue;
    auto e = std::make_unique<Entry>();
    e->c = std::move(parsed).value();
    e->c.lastSeenMs = nowMs;
    const AnswerSheet blank(paper_.table, letterColumns_);
    e->c.sheet = blank;
    if (auto da = readFileBytes(options_.answersDir / (e->c.stem + ".da"), kAnswerFileLimit); da.ok()) {
      if (auto sheet = importAnswers(da.value(), paper_.header.paperKey(), paper_.table, blank); sheet.ok()) {
        e->c.sheet = std::move(sheet).value();
      }
    }
    e->answered = answeredCount(paper_.table, e->c.sheet);
    if (!e->c.tokenHash.empty()) byToken_[e->c.tokenHash] = e->c.id;
    byIdentity_[identityKey(e->c.name, e->c.number)] = e->c.id;
    if (e->c.status == Status::HandedIn) handedIn.push_back(e.get());
    entries_[e->c.id] = std::move(e);
  }
  if (ec) return Error::io("cannot read " + pathToUtf8(options_.answersDir) + ": " + ec.message());
  gradeHandedIn(handedIn);
  return true;
}

std::string Classroom::freeStem(const std::string& name, const std::string& number) const {
  const std::string base = fileStem(name, number);
  for (int n = 1;; ++n) {
    const std::string stem = n == 1 ? base : base + "-" + std::to_string(n);
    const bool taken = std::any_of(entries_.begin(), entries_.end(),
                                   [&](const auto& kv) { return kv.second->c.stem == stem; });
    std::error_code ec;
    if (!taken && !fs::exists(options_.answersDir / (stem + ".da"), ec)) return stem;
  }
}

Outcome<SignedIn> Classroom::admit(const std::string& rawName, const std::string& rawNumber,
                                   std::int64_t nowMs) {
  const std::string name = trimmed(rawName), number = trimmed(rawNumber);
  if (!usableIdentity(name) || !usableIdentity(number)) {
    return refuse(Denial::BadInput, "请填写姓名和考号（各不超过 64 字节）");
  }
  Snapshot s;
  SignedIn out;
  {
    std::lock_guard guard(lock_);
    if (!open_) return refuse(Denial::Forbidden, kExamClosed);
    if (byIdentity_.count(identityKey(name, number)) > 0) return refuse(Denial::Conflict, kAlreadySignedIn);
    auto e = std::make_unique<Entry>();
    Candidate& c = e->c;
    c.id = entries_.empty() ? 1 : entries_.rbegin()->first + 1;
    c.name = name;
    c.number = number;
    c.stem = freeStem(name, number);
    c.sheet = AnswerSheet(paper_.table, letterColumns_);
    c.lastSeenMs = nowMs;
    out = {c.id, name, number, newSecretToken(), newResumeCode()};
    c.tokenHash = sha256Hex(out.token);
    c.resumeHash = codeHash(c.id, out.resumeCode);
    byToken_[c.tokenHash] = c.id;
    byIdentity_[identityKey(name, number)] = c.id;
    s = snapshot(*e);
    entries_[c.id] = std::move(e);
  }
  if (!write(s)) return refuse(Denial::Storage, "答案文件夹无法写入");
  return out;
}

Outcome<SignedIn> Classroom::signIn(const std::string& name, const std::string& number, std::int64_t nowMs) {
  return admit(name, number, nowMs);
}

Outcome<SignedIn> Classroom::signInFromRoster(int rosterIndex, std::int64_t nowMs) {
  if (rosterIndex < 0 || rosterIndex >= static_cast<int>(options_.roster.size())) {
    return refuse(Denial::NotFound, "名单中没有此人");
  }
  const RosterEntry& who = options_.roster[static_cast<std::size_t>(rosterIndex)];
  return admit(who.name, who.number, nowMs);
}

Outcome<SignedIn> Classroom::resume(const std::string& name, const std::string& number,
                                    const std::string& code, std::int64_t nowMs) {
  Snapshot s;
  SignedIn out;
  {
    std::lock_guard guard(lock_);
    const auto found = byIdentity_.find(identityKey(trimmed(name), trimmed(number)));
    if (found == byIdentity_.end()) return refuse(Denial::Forbidden, kWrongResumeCode);
    Entry& e = *entries_.at(found->second);
    Candidate& c = e.c;
    if (c.wrongResumes >= kMaxWrongResumes) return refuse(Denial::Forbidden, "恢复码错误次数太多，请找老师");
    if (!constantTimeEqual(codeHash(c.id, code), c.resumeHash)) {
      ++c.wrongResumes;
      s = snapshot(e);
    } else {
      c.wrongResumes = 0;
      byToken_.erase(c.tokenHash);
      out = {c.id, c.name, c.number, newSecretToken(), code};
      c.tokenHash = sha256Hex(out.token);
      byToken_[c.tokenHash] = c.id;
      c.lastSeenMs = nowMs;
      s = snapshot(e);
    }
  }
  if (!write(s)) return refuse(Denial::Storage, "答案文件夹无法写入");
  if (out.token.empty()) return refuse(Denial::Forbidden, kWrongResumeCode);
  return out;
}

Outcome<int> Classroom::session(const std::string& token, std::int64_t nowMs) {
  if (token.size() != 64) return refuse(Denial::NoSession, kNoSession);
  const std::string hash = sha256Hex(token);
  std::lock_guard guard(lock_);
  const auto found = byToken_.find(hash);
  if (found == byToken_.end()) return refuse(Denial::NoSession, kNoSession);
  Entry& e = *entries_.at(found->second);
  if (!constantTimeEqual(hash, e.c.tokenHash)) return refuse(Denial::NoSession, kNoSession);
  e.c.lastSeenMs = nowMs;
  return e.c.id;
}

std::int64_t Classroom::remaining(const Candidate& c, std::int64_t nowMs) const {
  const std::int64_t allowed = std::int64_t{std::max(paper_.header.timeLimit(), 0)} * 60 + c.extraSeconds;
  if (c.status == Status::HandedIn) return 0;
  if (!c.startedAt) return allowed;
  return std::max<std::int64_t>(0, allowed - (clock_.seconds(nowMs) - *c.startedAt));
}

CandidateState Classroom::view(const Entry& e, std::int64_t nowMs, bool withAnswers) const {
  const Candidate& c = e.c;
  CandidateState s;
  s.id = c.id;
  s.name = c.name;
  s.number = c.number;
  s.status = c.status;
  s.remainingSeconds = remaining(c, nowMs);
  if (c.status == Status::Answering) {
    s.warning = s.remainingSeconds <= kLastWarningMinutes * 60    ? TimeWarning::OneMinute
                : s.remainingSeconds <= kFirstWarningMinutes * 60 ? TimeWarning::FiveMinutes
                                                                  : TimeWarning::None;
  }
  s.version = c.version;
  if (withAnswers) s.answers = entriesFromSheet(paper_.table, c.sheet);
  s.answered = e.answered;
  s.lastSeenMs = c.lastSeenMs;
  if (e.grade && gradePasswordGiven_) {
    s.score = e.grade->report.score;
    s.rate = e.grade->report.rate;
  }
  s.resultsShown = resultsAllowed(options_.results, c.status == Status::HandedIn, open_);
  if (s.resultsShown && !gradePasswordGiven_) {
    s.results = Results{};
    s.results->pending = true;
  } else if (s.resultsShown && e.grade) {
    s.results = resultsOf(paper_.table, *e.grade, paper_.header.notesGroupLen() > 0);
  }
  return s;
}

Classroom::Snapshot Classroom::snapshot(Entry& e) {
  return {&e, ++e.changes, exportAnswers(paper_.header.paperKey(), paper_.table, e.c.sheet),
          stateFileBytes(e.c)};
}

bool Classroom::write(const Snapshot& s) {
  if (s.entry == nullptr) return true;
  std::lock_guard guard(s.entry->diskLock);
  if (s.change <= s.entry->written) return true;  // a newer change is already on disk
  const fs::path base = options_.answersDir / s.entry->c.stem;
  // The answers first: a state file never names answers that are not there.
  if (!platform::writeFileAtomically(fs::path(base) += ".da", s.da).ok()) return false;
  if (!platform::writeFileAtomically(fs::path(base) += kStateExt, s.state).ok()) return false;
  s.entry->written = s.change;
  return true;
}

void Classroom::gradeHandedIn(const std::vector<Entry*>& entries) {
  for (Entry* e : entries) {
    std::optional<report::FileGrade> grade;
    {
      std::lock_guard guard(graderLock_);
      auto graded = grader_.grade(options_.answersDir / (e->c.stem + ".da"));
      if (graded.ok()) grade = std::move(graded).value();
    }
    std::lock_guard guard(lock_);
    e->grade = std::move(grade);
  }
}

// REQUIRES: lock_ held.
void Classroom::handInLocked(Entry& e, std::vector<Snapshot>& toWrite) {
  if (e.c.status == Status::HandedIn) return;
  e.c.status = Status::HandedIn;
  toWrite.push_back(snapshot(e));
}

Outcome<CandidateState> Classroom::viewPaper(int id, std::int64_t nowMs) {
  Snapshot s;
  {
    std::lock_guard guard(lock_);
    const auto found = entries_.find(id);
    if (found == entries_.end()) return refuse(Denial::NoSession, kNoSession);
    Entry& e = *found->second;
    if (e.c.status == Status::SignedIn && open_) {
      e.c.status = Status::Answering;
      e.c.startedAt = clock_.seconds(nowMs);
      s = snapshot(e);
    }
  }
  if (!write(s)) return refuse(Denial::Storage, "答案文件夹无法写入");
  return state(id, nowMs);
}

Outcome<CandidateState> Classroom::state(int id, std::int64_t nowMs) {
  tick(nowMs);  // a candidate whose time is up sees the hand-in at once
  std::lock_guard guard(lock_);
  const auto found = entries_.find(id);
  if (found == entries_.end()) return refuse(Denial::NoSession, kNoSession);
  found->second->c.lastSeenMs = nowMs;
  return view(*found->second, nowMs);
}

Outcome<CandidateState> Classroom::putAnswers(int id, std::int64_t version,
                                              const std::vector<RowEntry>& entries, std::int64_t nowMs) {
  auto sheet = sheetFromEntries(paper_.table, letterColumns_, entries);
  if (!sheet.ok()) return sheet.refusal();
  tick(nowMs);
  Snapshot s;
  {
    std::lock_guard guard(lock_);
    const auto found = entries_.find(id);
    if (found == entries_.end()) return refuse(Denial::NoSession, kNoSession);
    Entry& e = *found->second;
    if (e.c.status == Status::HandedIn) return refuse(Denial::Forbidden, kAlreadyHandedIn);
    if (!open_) return refuse(Denial::Forbidden, kExamClosed);
    if (version <= e.c.version) return refuse(Denial::Conflict, "答案版本过旧");
    if (e.c.status == Status::SignedIn) {
      e.c.status = Status::Answering;
      e.c.startedAt = clock_.seconds(nowMs);
    }
    e.c.sheet = std::move(sheet.value());
    e.answered = answeredCount(paper_.table, e.c.sheet);
    e.c.version = version;
    e.c.lastSeenMs = nowMs;
    s = snapshot(e);
  }
  if (!write(s)) return refuse(Denial::Storage, "答案无法保存");
  std::lock_guard guard(lock_);
  return view(*entries_.at(id), nowMs);
}

Outcome<CandidateState> Classroom::handIn(int id, std::int64_t nowMs) {
  std::vector<Snapshot> toWrite;
  Entry* entry = nullptr;
  {
    std::lock_guard guard(lock_);
    const auto found = entries_.find(id);
    if (found == entries_.end()) return refuse(Denial::NoSession, kNoSession);
    entry = found->second.get();
    handInLocked(*entry, toWrite);
  }
  for (const Snapshot& s : toWrite) {
    if (!write(s)) return refuse(Denial::Storage, "答案无法保存");
  }
  if (!toWrite.empty()) gradeHandedIn({entry});
  std::lock_guard guard(lock_);
  return view(*entry, nowMs);
}

std::vector<CandidateState> Classroom::room(std::int64_t nowMs) {
  tick(nowMs);
  std::lock_guard guard(lock_);
  std::vector<CandidateState> out;
  out.reserve(entries_.size());
  for (const auto& [id, e] : entries_) out.push_back(view(*e, nowMs, false));
  return out;
}

Outcome<bool> Classroom::extend(std::optional<int> id, int minutes, std::int64_t nowMs) {
  if (minutes < 1 || minutes > 600) return refuse(Denial::BadInput, "minutes must be 1 to 600");
  tick(nowMs);
  std::vector<Snapshot> toWrite;
  {
    std::lock_guard guard(lock_);
    if (id && entries_.count(*id) == 0) return refuse(Denial::NotFound, "no such candidate");
    if (id && entries_.at(*id)->c.status == Status::HandedIn) {
      return refuse(Denial::Conflict, "the candidate has handed in");
    }
    for (auto& [key, e] : entries_) {
      if ((id && key != *id) || e->c.status == Status::HandedIn) continue;
      e->c.extraSeconds += std::int64_t{minutes} * 60;
      toWrite.push_back(snapshot(*e));
    }
  }
  for (const Snapshot& s : toWrite) {
    if (!write(s)) return refuse(Denial::Storage, "cannot write the answer folder");
  }
  return true;
}

void Classroom::end(std::int64_t nowMs) {
  std::vector<Snapshot> toWrite;
  std::vector<Entry*> graded;
  {
    std::lock_guard guard(lock_);
    open_ = false;
    for (auto& [key, e] : entries_) {
      const std::size_t before = toWrite.size();
      handInLocked(*e, toWrite);
      if (toWrite.size() > before) graded.push_back(e.get());
    }
  }
  for (const Snapshot& s : toWrite) (void)write(s);
  writeRoomFile(nowMs);
  gradeHandedIn(graded);
}

Outcome<std::string> Classroom::letIn(int id) {
  Snapshot s;
  std::string code = newResumeCode();
  {
    std::lock_guard guard(lock_);
    const auto found = entries_.find(id);
    if (found == entries_.end()) return refuse(Denial::NotFound, "no such candidate");
    Candidate& c = found->second->c;
    byToken_.erase(c.tokenHash);
    c.tokenHash.clear();
    c.resumeHash = codeHash(c.id, code);
    c.wrongResumes = 0;
    s = snapshot(*found->second);
  }
  if (!write(s)) return refuse(Denial::Storage, "cannot write the answer folder");
  return code;
}

bool Classroom::giveGradePassword(const std::string& typed) {
  auto gbk = utf8ToGbk(typed);
  if (!gbk.ok() || !passwordMatches(paper_.header.gradePasswordBlock(), gbk.value())) return false;
  std::vector<Entry*> handedIn;
  {
    std::lock_guard guard(lock_);
    gradePasswordGiven_ = true;
    for (auto& [key, e] : entries_) {
      if (e->c.status == Status::HandedIn && !e->grade) handedIn.push_back(e.get());
    }
  }
  gradeHandedIn(handedIn);
  return true;
}

bool Classroom::gradePasswordNeeded() const {
  std::lock_guard guard(lock_);
  return !gradePasswordGiven_;
}

bool Classroom::open() const {
  std::lock_guard guard(lock_);
  return open_;
}

std::vector<fs::path> Classroom::handedInFiles() const {
  std::lock_guard guard(lock_);
  std::vector<fs::path> out;
  for (const auto& [id, e] : entries_) {
    if (e->c.status == Status::HandedIn) out.push_back(options_.answersDir / (e->c.stem + ".da"));
  }
  return out;
}

std::vector<fs::path> Classroom::answerFiles() const {
  std::lock_guard guard(lock_);
  std::vector<fs::path> out;
  for (const auto& [id, e] : entries_) out.push_back(options_.answersDir / (e->c.stem + ".da"));
  return out;
}

void Classroom::tick(std::int64_t nowMs) {
  std::vector<Snapshot> toWrite;
  std::vector<Entry*> timedOut;
  {
    std::lock_guard guard(lock_);
    for (auto& [id, e] : entries_) {
      if (e->c.status != Status::Answering || remaining(e->c, nowMs) > 0) continue;
      handInLocked(*e, toWrite);
      timedOut.push_back(e.get());
    }
  }
  for (const Snapshot& s : toWrite) (void)write(s);
  gradeHandedIn(timedOut);
  writeRoomFile(nowMs);
}

void Classroom::flush(std::int64_t nowMs) { tick(nowMs); }

void Classroom::writeRoomFile(std::int64_t nowMs) {
  std::lock_guard guard(roomFileLock_);
  const std::int64_t seconds = clock_.seconds(nowMs);
  bool isOpen = false;
  {
    std::lock_guard roomGuard(lock_);
    isOpen = open_;
  }
  if (seconds == keptRoomSeconds_ && isOpen == keptOpen_) return;
  nlohmann::json j = {{"seconds", seconds}, {"open", isOpen}};
  if (platform::writeFileAtomically(options_.answersDir / kRoomFile, j.dump() + "\n").ok()) {
    keptRoomSeconds_ = seconds;
    keptOpen_ = isOpen;
  }
}

}  // namespace qzt::classroom
