// The classroom: one paper, the candidates signed in to it, their answers,
// clocks and hand-ins, kept in the answer folder so that a restart on the
// same folder goes on where the last run stopped. Every rule of the room
// lives here; the HTTP layer only forwards. Thread-safe: one lock guards
// the room, and each candidate's files are written outside it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "classroom/candidate.h"
#include "classroom/outcome.h"
#include "classroom/results.h"
#include "classroom/roster.h"
#include "classroom/room_clock.h"
#include "classroom/sheet_entry.h"
#include "paper/opening.h"
#include "report/class_grader.h"
#include "sheet/exam_clock.h"

namespace qzt::classroom {

// Messages (UTF-8) the candidates' screens show.
inline constexpr char kAlreadySignedIn[] = "已登录，请用恢复码继续";
inline constexpr char kWrongResumeCode[] = "恢复码不对";
inline constexpr char kExamClosed[] = "考试已结束";
inline constexpr char kAlreadyHandedIn[] = "已交卷";
inline constexpr char kNoSession[] = "请先登录";

// A new secret: 32 random bytes as 64 hex digits (sessions, the teacher).
std::string newSecretToken();

struct SignedIn {
  int id = 0;
  std::string name, number;
  std::string token;       // the session token, hex; only its hash is kept
  std::string resumeCode;  // shown once; only its hash is kept
};

struct CandidateState {
  int id = 0;
  std::string name, number;
  Status status = Status::SignedIn;
  std::int64_t remainingSeconds = 0;
  TimeWarning warning = TimeWarning::None;
  std::int64_t version = 0;
  std::vector<RowEntry> answers;
  int answered = 0;
  std::int64_t lastSeenMs = 0;
  // Shown as the results policy allows; pending while the grading
  // password is missing.
  std::optional<Results> results;
  bool resultsShown = false;  // also for the notes
  std::optional<double> score, rate;  // for the teacher, once graded
};

struct RoomOptions {
  std::filesystem::path answersDir;
  ResultsPolicy results = ResultsPolicy::Now;
  std::vector<RosterEntry> roster;
  bool gradePasswordGiven = true;  // false while the paper's grading password is missing
};

class Classroom {
 public:
  // Replays the answer folder (state files and their answer files);
  // `nowMs` is monotonic time. An Io error when the folder cannot be made
  // or read.
  static Result<std::unique_ptr<Classroom>> open(const LoadedPaper& paper, RoomOptions options,
                                                 std::int64_t nowMs);

  // ---- Candidates ------------------------------------------------------------
  Outcome<SignedIn> signIn(const std::string& name, const std::string& number, std::int64_t nowMs);
  Outcome<SignedIn> signInFromRoster(int rosterIndex, std::int64_t nowMs);
  Outcome<SignedIn> resume(const std::string& name, const std::string& number,
                           const std::string& code, std::int64_t nowMs);
  // The candidate of a session token, or NoSession.
  Outcome<int> session(const std::string& token, std::int64_t nowMs);
  // The first view starts the candidate's clock.
  Outcome<CandidateState> viewPaper(int id, std::int64_t nowMs);
  Outcome<CandidateState> state(int id, std::int64_t nowMs);
  Outcome<CandidateState> putAnswers(int id, std::int64_t version, const std::vector<RowEntry>& entries,
                                     std::int64_t nowMs);
  Outcome<CandidateState> handIn(int id, std::int64_t nowMs);

  // ---- Teacher -----------------------------------------------------------------
  std::vector<CandidateState> room(std::int64_t nowMs);
  // One candidate (id) or everyone still answering (none); 1..600 minutes.
  Outcome<bool> extend(std::optional<int> id, int minutes, std::int64_t nowMs);
  // Hands in everyone and closes the exam.
  void end(std::int64_t nowMs);
  // A new resume code for the candidate; their sessions end.
  Outcome<std::string> letIn(int id);
  // The grading password (UTF-8) as typed; grades every hand-in when right.
  bool giveGradePassword(const std::string& typed);
  bool gradePasswordNeeded() const;
  bool open() const;
  const std::vector<RosterEntry>& roster() const { return options_.roster; }
  // The answer files of every handed-in candidate, for the class report.
  std::vector<std::filesystem::path> handedInFiles() const;
  // Every candidate's answer file, for the download of the folder.
  std::vector<std::filesystem::path> answerFiles() const;

  // Hands in every candidate whose time is up and keeps the room time on
  // disk; the server calls it about every second.
  void tick(std::int64_t nowMs);
  // Writes the room time now (clean shutdown).
  void flush(std::int64_t nowMs);

 private:
  struct Entry {
    Candidate c;
    std::optional<report::FileGrade> grade;
    int answered = 0;            // rows answered in c.sheet, kept for the room's view
    std::uint64_t changes = 0;   // bumped under the room lock per change
    std::uint64_t written = 0;   // the last change on disk (under diskLock)
    std::mutex diskLock;
  };
  struct Snapshot {
    Entry* entry = nullptr;
    std::uint64_t change = 0;
    std::string da, state;
  };

  Classroom(const LoadedPaper& paper, RoomOptions options, std::int64_t keptSeconds, std::int64_t nowMs);
  Result<bool> replay(std::int64_t nowMs);
  Outcome<SignedIn> admit(const std::string& name, const std::string& number, std::int64_t nowMs);
  std::int64_t remaining(const Candidate& c, std::int64_t nowMs) const;
  // The room's view leaves out the answers themselves (`withAnswers`).
  CandidateState view(const Entry& e, std::int64_t nowMs, bool withAnswers = true) const;
  Snapshot snapshot(Entry& e);
  [[nodiscard]] bool write(const Snapshot& s);
  void handInLocked(Entry& e, std::vector<Snapshot>& toWrite);
  void gradeHandedIn(const std::vector<Entry*>& entries);
  std::string freeStem(const std::string& name, const std::string& number) const;
  void writeRoomFile(std::int64_t nowMs);

  const LoadedPaper& paper_;
  RoomOptions options_;
  int letterColumns_ = 0;
  RoomClock clock_;
  mutable std::mutex lock_;
  std::map<int, std::unique_ptr<Entry>> entries_;
  std::unordered_map<std::string, int> byToken_;     // token hash -> id
  std::map<std::string, int> byIdentity_;            // name + "\n" + number -> id
  bool open_ = true;
  bool gradePasswordGiven_ = true;
  std::int64_t keptRoomSeconds_ = -1;  // on disk (under roomFileLock_)
  bool keptOpen_ = true;
  std::mutex graderLock_;
  report::ClassGrader grader_;
  std::mutex roomFileLock_;
};

}  // namespace qzt::classroom
