// Hostile papers through the qzt command and through the core the way the
// reader drives it. Each paper gets its clear message and exit status,
// runs in a child process whose peak memory is measured, and leaves every
// byte around the target folder as it was.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>

#include "cli_fixture.h"
#include "paper/format.h"
#include "paper/opening.h"
#include "paper/unpack.h"
#include "sheet/exam_session.h"
#include "side/answer_file.h"
#include "side/comments.h"

namespace qzt::cli::testing {
namespace {

namespace f = qzt::format;
using writer::GroupEntry;
using writer::PaperSpec;

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();
// Peak memory any hostile paper may add, far below what its claims ask for.
constexpr long kMemoryBoundKb = 48 * 1024;

std::string int32Bytes(std::int32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
  return s;
}

std::string marker() { return std::string(f::kBlockMarker.begin(), f::kBlockMarker.end()); }

// A plain paper with every part and two questions, correct answers A and B.
PaperSpec goodSpec() {
  PaperSpec s;
  s.page = {GroupEntry::file("index.html", "<p>page</p>")};
  s.support = {GroupEntry::file("s.txt", "x"), GroupEntry::folder("s.txt.files"),
               GroupEntry::file("mmts.txt", "hint")};
  s.comments = std::string(kCommentHeader) + "0-100\r\nfine\r\n";
  s.questions = {{"1", 1, 4, "A", 1, 7}, {"2", 1, 4, "B", 1, 3}};
  return s;
}

// A paper that is nothing but its header and this page group, ending
// right after the group's last entry when `cutTerminator` is set.
std::string pageOnly(std::vector<GroupEntry> page, bool cutTerminator = false) {
  PaperSpec s;
  s.page = std::move(page);
  writer::BuiltPaper p = writer::buildPaper(s);
  if (cutTerminator) {
    p.bytes.resize(static_cast<std::size_t>(p.layout.pageGroupPos + p.layout.pageGroupLen - f::kEntryHeadSize));
  }
  return p.bytes;
}

// A page group entry written by hand: head, name length, name, rest.
std::string handEntry(char kind, std::int32_t nameLength, const std::string& name,
                      const std::string& rest) {
  std::string e(f::kEntryHeadSize, '\0');
  e[0] = kind;
  return e + int32Bytes(nameLength) + name + rest;
}

// A paper whose page group is the given raw entry bytes, then the end.
std::string rawPage(const std::string& entries) {
  writer::BuiltPaper p = writer::buildPaper(PaperSpec{});
  const auto pos = static_cast<std::int32_t>(p.bytes.size());
  p.bytes += std::string(f::kGroupSkip, '\0') + entries + std::string(f::kEntryHeadSize, '\0');
  writer::patchHeader(p, f::kPageGroupPos, pos);
  writer::patchHeader(p, f::kPageGroupLen, 0);
  return p.bytes;
}

std::string patched(PaperSpec spec, std::vector<std::pair<int, std::int32_t>> fields) {
  writer::BuiltPaper p = writer::buildPaper(spec);
  for (const auto& [offset, value] : fields) writer::patchHeader(p, offset, value);
  return p.bytes;
}

std::string passwordBlockPastItsEnd() {
  writer::BuiltPaper p = writer::buildPaper(goodSpec());
  const auto at = static_cast<std::size_t>(p.layout.headerOffset + f::kOpenPasswordBlock);
  p.bytes[at + f::kPasswordStart] = 20;   // S
  p.bytes[at + f::kPasswordLengthA] = 25;  // N = 25 - 5 = 20; S + N > 31
  p.bytes[at + f::kPasswordLengthB] = 5;
  PaperHeader::Bytes h{};
  std::copy_n(p.bytes.begin() + p.layout.headerOffset, h.size(), h.begin());
  writer::sealHeader(h);
  std::copy(h.begin(), h.end(), p.bytes.begin() + p.layout.headerOffset);
  return p.bytes;
}

std::string longLabel() {
  writer::BuiltPaper p = writer::buildPaper(goodSpec());
  p.bytes[static_cast<std::size_t>(p.layout.questionTablePos + f::kRowLabel)] = static_cast<char>(200);
  return p.bytes;
}

// question_count 5000 over a table of 1002 real records.
std::string fiveThousandQuestions() {
  PaperSpec s = goodSpec();
  s.questions.assign(f::kMaxQuestions, {"q", 1, 4, "A", 1, 7});
  return patched(s, {{f::kQuestionCount, 5000}});
}

std::string answersFor(int rows) {
  std::string a = "KEY-1\r\n";
  for (int i = 0; i < rows; ++i) a += " A\r\n";
  return a;
}

// What a hostile paper is, what qzt is asked to do with it and what it says.
struct Hostile {
  const char* name;
  std::function<std::string(const fs::path& sandbox)> paper;
  std::vector<std::string> command;  // {paper}, {target}, {answers} are filled in
  int status;
  std::function<std::string(const std::string& paperArg)> errStart;
  std::string answers = answersFor(2);
  // Something planted in the target folder before the command runs.
  std::function<void(const fs::path& sandbox, const fs::path& target)> plant = {};
  // Checks of what qzt printed, where it matters.
  std::function<void(const std::string& out)> checkOut = {};
};

void PrintTo(const Hostile& h, std::ostream* os) { *os << h.name; }

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) v.push_back(line);
  return v;
}

const std::vector<std::string> kExtract = {"extract", "{paper}", "{target}"};
const std::vector<std::string> kComments = {"extract", "{paper}", "{target}", "--group", "comments"};
const std::vector<std::string> kGrade = {"grade", "{paper}", "{answers}"};

std::function<std::string(const std::string&)> box(int step) {
  return [step](const std::string&) { return errorBoxText(step) + "\n"; };
}
std::function<std::string(const std::string&)> unreadable(const std::string& stage) {
  return [stage](const std::string& p) { return "qzt: " + p + ": " + stage; };
}
std::function<std::string(const std::string&)> says(const std::string& text) {
  return [text](const std::string&) { return text; };
}

std::string gbkPath(const fs::path& p) {
  std::string s = utf8(p);
  for (char& c : s) {
    if (c == '/') c = '\\';
  }
  return s;
}

std::vector<Hostile> hostilePapers() {
  const std::string tinyStream = writer::packBlock("abc").substr(f::kUnpackedLengthField);
  const std::string block = writer::packBlock("abc");
  return {
      // Positions, lengths and counts.
      {"NegativePagePosition", [](auto&) { return patched(goodSpec(), {{f::kPageGroupPos, -100}}); },
       kExtract, kUnpackFailed, box(f::kStepOpen)},
      {"MinimumPagePosition", [](auto&) { return patched(goodSpec(), {{f::kPageGroupPos, kMinInt}}); },
       kExtract, kUnpackFailed, box(f::kStepOpen)},
      {"HugePagePosition", [](auto&) { return patched(goodSpec(), {{f::kPageGroupPos, kMaxInt}}); },
       kExtract, kUnpackFailed, box(f::kStepOpen)},
      {"NegativePageBudget", [](auto&) { return patched(goodSpec(), {{f::kPageGroupLen, -1}}); },
       kExtract, kDone, says("")},
      {"NegativeCommentsPosition", [](auto&) { return patched(goodSpec(), {{f::kCommentsPos, -7}}); },
       kComments, kUnpackFailed, box(f::kStepInflate)},
      {"HugeCommentsLength", [](auto&) { return patched(goodSpec(), {{f::kCommentsLen, kMaxInt}}); },
       kComments, kUnpackFailed, box(f::kStepInflate)},
      {"NegativeQuestionTable", [](auto&) { return patched(goodSpec(), {{f::kQuestionTablePos, -328}}); },
       kGrade, kUnreadable, unreadable("gd2")},
      {"HugeQuestionCount", [](auto&) { return patched(goodSpec(), {{f::kQuestionCount, kMaxInt}}); },
       kGrade, kUnreadable, unreadable("gd2")},
      {"NegativeQuestionCount", [](auto&) { return patched(goodSpec(), {{f::kQuestionCount, -5}}); },
       kGrade, kDone, says(""), answersFor(0)},
      {"QuestionCount5000", [](auto&) { return fiveThousandQuestions(); },
       kGrade, kDone, says(""), answersFor(f::kMaxQuestions), {},
       [](const std::string& out) {
         const auto v = lines(out);
         ASSERT_EQ(v.size(), 1u + f::kMaxQuestions) << "the score line and the first 1002 rows";
         EXPECT_EQ(v[0].rfind("总分：1002 得分：1002", 0), 0u) << v[0];
       }},
      {"NegativeNameLength", [](auto&) { return rawPage(handEntry(2, -1, "", "")); },
       kExtract, kUnpackFailed, box(f::kStepFirstEntry)},
      {"HugeNameLength", [](auto&) { return rawPage(handEntry(2, kMaxInt, "a.html", "")); },
       kExtract, kUnpackFailed, box(f::kStepFirstEntry)},
      {"Name300Bytes", [](auto&) { return rawPage(handEntry(2, 300, std::string(300, 'n'), int32Bytes(4) + "abcd")); },
       kExtract, kUnpackFailed, box(f::kStepFirstEntry)},
      {"NegativePackedSize", [block](auto&) { return rawPage(handEntry(2, 6, "a.html", int32Bytes(-8) + block)); },
       kExtract, kUnpackFailed, box(f::kStepInflate)},
      {"HugePackedSize", [block](auto&) { return rawPage(handEntry(2, 6, "a.html", int32Bytes(kMaxInt) + block)); },
       kExtract, kUnpackFailed, box(f::kStepInflate)},
      // Unpacked lengths.
      {"NegativeU", [tinyStream](auto&) { return pageOnly({GroupEntry::raw("a.html", int32Bytes(-1) + tinyStream)}); },
       kExtract, kUnpackFailed, box(f::kStepInflate)},
      {"ImpossibleU", [tinyStream](auto&) { return pageOnly({GroupEntry::raw("a.html", int32Bytes(1 << 20) + tinyStream)}); },
       kExtract, kUnpackFailed, box(f::kStepInflate)},
      {"TwoGigabytesOnAFewBytes", [tinyStream](auto&) { return pageOnly({GroupEntry::raw("a.html", int32Bytes(kMaxInt) + tinyStream)}); },
       kExtract, kUnpackFailed, box(f::kStepInflate)},
      {"TwoGigabytesOfComments", [](auto&) {
         PaperSpec s = goodSpec();
         s.comments.reset();
         writer::BuiltPaper p = writer::buildPaper(s);
         const auto pos = static_cast<std::int32_t>(p.bytes.size());
         p.bytes += writer::packBlock(std::string(64, 'x'), kMaxInt);
         writer::patchHeader(p, f::kCommentsPos, pos);
         writer::patchHeader(p, f::kCommentsLen, static_cast<std::int32_t>(p.bytes.size()) - pos);
         return p.bytes; },
       kComments, kUnpackFailed, box(f::kStepInflate)},
      // Marked runs that never end before the file does.
      {"RunBlockPastTheEnd", [](auto&) { return pageOnly({GroupEntry::raw("a.html", marker() + int32Bytes(100000) + "abc")}, true); },
       kExtract, kUnpackFailed, box(f::kStepInflate)},
      {"RunCutInsideAMarker", [block](auto&) {
         return pageOnly({GroupEntry::raw("a.html", marker() + int32Bytes(static_cast<std::int32_t>(block.size())) + block + marker().substr(0, 5))}, true); },
       kExtract, kUnpackFailed, box(f::kStepInflate)},
      {"RunCutAfterAMarker", [block](auto&) {
         return pageOnly({GroupEntry::raw("a.html", marker() + int32Bytes(static_cast<std::int32_t>(block.size())) + block + marker())}, true); },
       kExtract, kUnpackFailed, box(f::kStepInflate)},
      {"RunNegativeBlockSize", [block](auto&) {
         return pageOnly({GroupEntry::raw("a.html", marker() + int32Bytes(-12) + block)}); },
       kExtract, kUnpackFailed, box(f::kStepInflate)},
      // Names that would leave the target.
      {"ParentFile", [](auto&) { return pageOnly({GroupEntry::file("..\\..\\escape.html", "x")}); },
       kExtract, kUnpackFailed, box(f::kStepFolder)},
      {"ParentFolder", [](auto&) { return pageOnly({GroupEntry::folder("a\\..\\..\\.."), GroupEntry::file("escape.html", "x")}); },
       kExtract, kUnpackFailed, box(f::kStepFolder)},
      {"AbsoluteFile", [](const fs::path& sandbox) { return pageOnly({GroupEntry::file(gbkPath(sandbox / "escape.html"), "x")}); },
       kExtract, kUnpackFailed, box(f::kStepFolder)},
      {"AbsoluteFolder", [](const fs::path& sandbox) { return pageOnly({GroupEntry::folder(gbkPath(sandbox)), GroupEntry::file("escape.html", "x")}); },
       kExtract, kUnpackFailed, box(f::kStepFolder)},
      {"DriveLetter", [](auto&) { return pageOnly({GroupEntry::file("C:\\escape.html", "x")}); },
       kExtract, kUnpackFailed, box(f::kStepFolder)},
      {"DriveRelative", [](auto&) { return pageOnly({GroupEntry::folder("c:escape")}); },
       kExtract, kUnpackFailed, box(f::kStepFolder)},
      {"NulInName", [](auto&) { return pageOnly({GroupEntry::file(std::string("a.html\0..\\..\\x", 14), "x")}); },
       kExtract, kUnpackFailed, box(f::kStepFolder)},
      {"EmptyName", [](auto&) { return pageOnly({GroupEntry::file("", "x")}); },
       kExtract, kUnpackFailed, box(f::kStepFolder)},
      {"FolderThroughAPlantedLink", [](auto&) { return pageOnly({GroupEntry::folder("sub"), GroupEntry::file("escape.html", "x")}); },
       kExtract, kUnpackFailed, box(f::kStepFolder), answersFor(2),
       [](const fs::path& sandbox, const fs::path& target) {
         fs::create_directories(sandbox / "outside");
         fs::create_directory_symlink(sandbox / "outside", target / "sub");
       }},
      {"FileThroughAPlantedLink", [](auto&) { return pageOnly({GroupEntry::file("sub\\escape.html", "x")}); },
       kExtract, kUnpackFailed, box(f::kStepFolder), answersFor(2),
       [](const fs::path& sandbox, const fs::path& target) {
         fs::create_directories(sandbox / "outside");
         fs::create_directory_symlink(sandbox / "outside", target / "sub");
       }},
      // Password and question fields.
      {"PasswordBlockPastItsEnd", [](auto&) { return passwordBlockPastItsEnd(); },
       {"extract", "{paper}", "{target}", "--password", ""}, kWrongPassword,
       says(ExamSession::messageForState(f::kStateWrongOpenPassword))},
      {"PasswordBlockPastItsEndGrade", [](auto&) { return passwordBlockPastItsEnd(); },
       kGrade, kWrongPassword, says("qzt: this paper asks for a password (--password)")},
      {"RowLabelOf200", [](auto&) { return longLabel(); }, kGrade, kDone, says(""), answersFor(2), {},
       [](const std::string& out) {
         const auto v = lines(out);
         ASSERT_GE(v.size(), 3u);
         EXPECT_EQ(v[1].find('\t'), static_cast<std::size_t>(f::kRowLabelMax)) << "the label stops at its field";
       }},
  };
}

// Every file, folder and link under `root` with its size, except what lies
// inside `skip`.
std::map<std::string, std::uintmax_t> listing(const fs::path& root, const fs::path& skip) {
  std::map<std::string, std::uintmax_t> seen;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    if (it->path() == skip) {
      it.disable_recursion_pending();
      continue;
    }
    const bool file = it->is_regular_file() && !it->is_symlink();
    seen[utf8(it->path())] = file ? it->file_size() : 0;
  }
  return seen;
}

struct ChildRun {
  bool exited = false;  // exited normally rather than crashed
  int status = -1;
  long peakGrowthKb = 0;
  std::string out, err;
};

// Runs qzt in a child process so a crash cannot take the tests with it and
// the child's peak memory belongs to this one command.
ChildRun runInChild(const std::vector<std::string>& args) {
  int fds[2];
  EXPECT_EQ(::pipe(fds), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    // Reset the peak so it starts from what the child holds now.
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", f);
      std::fclose(f);
    }
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    const Outcome r = qzt(args);
    ::getrusage(RUSAGE_SELF, &after);
    std::string msg = std::to_string(r.status) + '\n' + std::to_string(after.ru_maxrss - before.ru_maxrss) +
                      '\n' + std::to_string(r.out.size()) + '\n' + r.out + r.err;
    for (std::size_t at = 0; at < msg.size();) {
      const ssize_t n = ::write(fds[1], msg.data() + at, msg.size() - at);
      if (n <= 0) break;
      at += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string msg;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) msg.append(buf, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int wstatus = 0;
  ::waitpid(pid, &wstatus, 0);
  ChildRun run;
  run.exited = WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0 && !msg.empty();
  if (!run.exited) return run;
  std::istringstream in(msg);
  std::size_t outSize = 0;
  in >> run.status >> run.peakGrowthKb >> outSize;
  in.get();
  run.out.resize(outSize);
  in.read(run.out.data(), static_cast<std::streamsize>(outSize));
  run.err.assign(std::istreambuf_iterator<char>(in), {});
  return run;
}

class HostilePaper : public CliTest, public ::testing::WithParamInterface<Hostile> {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    target_ = dir_ / "box" / "target";
    fs::create_directories(target_);
    if (GetParam().plant) GetParam().plant(dir_, target_);
    paper_ = writeBytes(GetParam().paper(dir_), "paper.qzt");
    answers_ = writeBytes(GetParam().answers, "answers.da");
  }

  std::vector<std::string> command() const {
    std::vector<std::string> args;
    for (const std::string& a : GetParam().command) {
      args.push_back(a == "{paper}" ? paper_ : a == "{target}" ? utf8(target_) : a == "{answers}" ? answers_ : a);
    }
    return args;
  }

  fs::path target_;
  std::string paper_, answers_;
};

TEST_P(HostilePaper, GetsItsMessageAndStatusInBoundedMemoryWritingOnlyTheTarget) {
  const auto around = listing(dir_, target_);
  const ChildRun r = runInChild(command());
  ASSERT_TRUE(r.exited) << "qzt crashed";
  EXPECT_EQ(r.status, GetParam().status) << r.err;
  const std::string want = GetParam().errStart(paper_);
  if (want.empty()) {
    EXPECT_EQ(r.err, "");
  } else {
    EXPECT_EQ(r.err.rfind(want, 0), 0u) << r.err;
  }
  if (GetParam().checkOut) GetParam().checkOut(r.out);
  EXPECT_LT(r.peakGrowthKb, kMemoryBoundKb);
  std::cout << "[ figures  ] " << GetParam().name << ": exit " << r.status << ", peak grew "
            << r.peakGrowthKb << " kB\n";
  EXPECT_EQ(listing(dir_, target_), around) << "something was written outside the target";
}

// The reader's own road through the core: open, read, unpack, grade and
// choose a comment. Whatever fails is an error value; afterwards a good
// paper still opens, loads and grades in the same work folder.
TEST_P(HostilePaper, LeavesTheReaderRunning) {
  const auto around = listing(dir_, target_);
  const fs::path paper = path("paper.qzt");
  const OpenOutcome opened = openPaper(paper, 0, target_);
  if (!opened.ioError && opened.stateCode == 0) {
    auto loaded = readPaper(paper, 0);
    if (loaded.ok()) {
      (void)unpackPaper(loaded.value(), target_);
      ExamSession session;
      session.begin(loaded->header, loaded->table);
      (void)session.handIn();
      const PaperHeader& h = loaded->header;
      const fs::path pyfile = target_ / "pyfile";
      if (h.commentsLen() > 0 && unpackPacked(paper, pyfile, h.commentsLen(), h.commentsPos()).ok()) {
        (void)chooseComment(readFile(pyfile), session.report()->selection.value_or(0));
      }
    }
  }
  EXPECT_EQ(listing(dir_, target_), around) << "something was written outside the work folder";

  writePaper(goodSpec(), "good.qzt");
  const OpenOutcome good = openPaper(path("good.qzt"), 0, target_);
  ASSERT_FALSE(good.ioError);
  ASSERT_EQ(good.stateCode, 0);
  auto loaded = readPaper(path("good.qzt"), 0);
  ASSERT_TRUE(loaded.ok());
  const UnpackedPaper unpacked = unpackPaper(loaded.value(), target_);
  EXPECT_FALSE(unpacked.page.failure);
  ASSERT_TRUE(unpacked.page.anchor);
  EXPECT_EQ(readFile(*unpacked.page.anchor), "<p>page</p>");
  ExamSession session;
  session.begin(loaded->header, loaded->table);
  EXPECT_TRUE(session.pressLetter(1, 1));
  EXPECT_EQ(session.handIn(), ExamSession::HandIn::Graded);
  EXPECT_EQ(session.report()->score, 1);
}

INSTANTIATE_TEST_SUITE_P(Cli, HostilePaper, ::testing::ValuesIn(hostilePapers()),
                         [](const auto& p) { return std::string(p.param.name); });

// A paper cut short at every field boundary of its header, its page group
// and its question table: each cut gets the message of the stage it hits.
class TruncatedPaper : public CliTest {
 protected:
  std::string cutAt(std::size_t size) {
    return writeBytes(full_.bytes.substr(0, size), "cut.qzt");
  }
  void SetUp() override {
    CliTest::SetUp();
    PaperSpec s = goodSpec();
    s.page = {GroupEntry::file("a.html", "page text"), GroupEntry::folder("a.html.files"),
              GroupEntry::file("b.css", "css text", writer::PackForm::MarkedRun, 2)};
    full_ = writer::buildPaper(s);
  }
  writer::BuiltPaper full_;
};

TEST_F(TruncatedPaper, InsideTheHeaderCannotBeRead) {
  for (int cut : {0, 51, 152, 156, 172, 176, 180, 184, 195, 216, 220, 224, 228, 232, 236, 370, 433,
                  464, 568, 599, 668, 672, 688, 692, 696, 769, 780, 791, 801, 802, 1827}) {
    const std::string paper = cutAt(static_cast<std::size_t>(cut));
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"info", paper}, {"extract", paper, arg("out")}, {"grade", paper, arg("a.da")}}) {
      const Outcome r = qzt(args);
      EXPECT_EQ(r.status, kUnreadable) << cut << ' ' << args[0];
      EXPECT_EQ(r.err.rfind("qzt: " + paper + ": ", 0), 0u) << cut << ' ' << r.err;
    }
  }
  EXPECT_FALSE(fs::exists(path("out")) && !fs::is_empty(path("out")));
}

TEST_F(TruncatedPaper, InsideThePageGroupEndsWithTheStepReached) {
  const auto pos = static_cast<std::size_t>(full_.layout.pageGroupPos);
  const std::size_t head = pos + f::kGroupSkip;           // first entry head
  const std::size_t name = head + f::kEntryHeadSize + 4;  // "a.html"
  const std::size_t size = name + 6;                      // packed size
  const std::size_t data = size + 4;                      // packed data
  const std::size_t next = data + writer::packData("page text", writer::PackForm::SingleBlock).size();
  // Step 0: the file ends right after a whole entry head, which ends the
  // group as its end does.
  const struct {
    std::size_t cut;
    int step;
  } cuts[] = {{head, f::kStepOpen},              {head + 5, f::kStepOpen},
              {head + 10, 0},                    {head + 12, f::kStepFirstEntry},
              {name + 3, f::kStepFirstEntry},    {size, f::kStepFolder},
              {size + 2, f::kStepFolder},        {data, f::kStepNextHead},
              {data + 7, f::kStepNextHead},      {data + 8, f::kStepInflate},
              {next - 1, f::kStepInflate},
              {next, f::kStepNextHead},          {next + 3, f::kStepNextHead},
              {next + 10, 0},                    {next + 12, f::kStepLaterEntry}};
  for (const auto& c : cuts) {
    const std::string paper = cutAt(c.cut);
    fs::remove_all(path("out"));
    const Outcome r = qzt({"extract", paper, arg("out")});
    if (c.step == 0) {
      EXPECT_EQ(r.status, kDone) << c.cut - pos << r.err;
      continue;
    }
    EXPECT_EQ(r.status, kUnpackFailed) << c.cut - pos;
    EXPECT_EQ(r.err.rfind(errorBoxText(c.step) + "\n", 0), 0u) << c.cut - pos << ' ' << r.err;
    for (const auto& e : fs::recursive_directory_iterator(path("out"))) {
      if (e.is_regular_file()) {
        EXPECT_GT(e.file_size(), 0u) << "no partial file: " << utf8(e.path());
      }
    }
  }
}

TEST_F(TruncatedPaper, InsideTheQuestionTableCannotBeGraded) {
  const auto table = static_cast<std::size_t>(full_.layout.questionTablePos);
  writeFile(path("a.da"), answersFor(2));
  for (std::size_t cut : {table, table + f::kOptionCount, table + f::kRowLabel, table + f::kKind,
                          table + f::kQuestionRecordSize, table + 2 * f::kQuestionRecordSize - 1}) {
    const std::string paper = cutAt(cut);
    const Outcome r = qzt({"grade", paper, arg("a.da")});
    EXPECT_EQ(r.status, kUnreadable) << cut - table;
    EXPECT_EQ(r.err, "qzt: " + paper + ": gd2\n") << cut - table;
  }
}

}  // namespace
}  // namespace qzt::cli::testing
