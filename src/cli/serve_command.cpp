#include <chrono>

#include "api.h"
#include "classroom/classroom.h"
#include "cli.h"
#include "commands.h"
#include "http_server.h"
#include "paper/format.h"
#include "qr_text.h"
#include "serve_platform.h"
#include "shell/work_folder.h"
#include "util/file_bytes.h"

namespace qzt::cli {
namespace {

std::int64_t monotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool splitListen(const std::string& listen, std::string& host, std::uint16_t& port) {
  const auto colon = listen.rfind(':');
  if (colon == std::string::npos) return false;
  host = listen.substr(0, colon);
  try {
    const int p = std::stoi(listen.substr(colon + 1));
    if (p < 0 || p > 65535) return false;
    port = static_cast<std::uint16_t>(p);
  } catch (const std::exception&) {
    return false;
  }
  return !host.empty();
}

// The opening password from the flag, else asked on the terminal.
int openPaper(const ServeArgs& args, PasswordArgs& passwords, LoadedPaper& paper, std::ostream& err) {
  PaperHeader header;
  if (int s = readTestedHeader(args.paper, header, err); s != kDone) return s;
  if (hasPassword(header.openPasswordBlock()) && !passwords.open) {
    passwords.open = serve::platform::askWithoutEcho("Opening password: ");
  }
  return readPaperToGrade(args.paper, passwords, paper, err);
}

void printAddresses(const std::string& host, std::uint16_t port, const std::string& token, std::ostream& out) {
  std::vector<std::string> hosts = {host};
  if (host == "0.0.0.0") hosts = serve::platform::lanAddresses();
  if (hosts.empty()) hosts = {"127.0.0.1"};
  const std::string portText = ":" + std::to_string(port);
  out << "Candidates open:\n";
  for (const std::string& h : hosts) out << "  http://" << h << portText << "/\n";
  out << serve::qrText("http://" + hosts.front() + portText + "/");
  out << "Teacher's dashboard (keep this address to yourself):\n  http://" << hosts.front() << portText
      << "/teacher?token=" << token << "\n"
      << "Ctrl+C ends the server; every answer stays in the answer folder.\n"
      << std::flush;
}

}  // namespace

int serveCommand(const ServeArgs& args, std::ostream& out, std::ostream& err) {
  const auto policy = classroom::parseResultsPolicy(args.results);
  std::string host;
  std::uint16_t port = 0;
  if (!policy || !splitListen(args.listen, host, port)) {
    err << "qzt: --listen takes ADDR:PORT and --results now, after-close or never\n";
    return kUsage;
  }
  PasswordArgs passwords = args.passwords;
  LoadedPaper paper;
  if (int s = openPaper(args, passwords, paper, err); s != kDone) return s;
  classroom::RoomOptions options;
  options.answersDir = pathArg(args.answers);
  options.results = *policy;
  options.gradePasswordGiven = !hasPassword(paper.header.gradePasswordBlock());
  if (passwords.grade && !options.gradePasswordGiven) {
    if (int s = checkGradePassword(paper, passwords, err); s != kDone) return s;
    options.gradePasswordGiven = true;
  }
  if (args.roster) {
    auto bytes = readFileBytes(pathArg(*args.roster), 1u << 24);
    auto people = bytes.ok() ? classroom::parseRoster(bytes.value()) : Result<std::vector<classroom::RosterEntry>>(bytes.error());
    if (!people.ok()) {
      err << "qzt: " << *args.roster << ": " << people.error().message << '\n';
      return kUnreadable;
    }
    options.roster = std::move(people).value();
  }

  serve::platform::holdStopSignals();
  serve::platform::raiseOpenFileLimit();
  // A server that was killed left its unpacked paper behind; its lock is
  // free now, so this start clears it away, as a reader does.
  removeStaleReaderFolders();
  auto folder = createReaderFolder();
  if (!folder.ok()) {
    err << "qzt: " << folder.error().message << '\n';
    return kUnreadable;
  }
  const std::filesystem::path& work = folder->files;
  const auto cleanup = [&] { removeWorkFolder(folder->path); };
  auto site = serve::PaperSite::open(paper, work);
  if (!site.ok()) {
    err << errorBoxText(site.error().step, site.error().message) << '\n';
    cleanup();
    return kUnpackFailed;
  }
  if (options.gradePasswordGiven) site.value()->unpackNotes();
  const bool gradeNow = options.gradePasswordGiven;
  auto room = classroom::Classroom::open(paper, std::move(options), monotonicMs());
  if (!room.ok()) {
    err << "qzt: " << room.error().message << '\n';
    cleanup();
    return kUnreadable;
  }
  if (gradeNow && passwords.grade) (void)room.value()->giveGradePassword(*passwords.grade);

  serve::ApiSetup setup;
  setup.room = room.value().get();
  setup.paper = &paper;
  setup.site = site.value().get();
  setup.teacherToken = classroom::newSecretToken();
  setup.nowMs = monotonicMs;
  setup.reportJson = classReportJson;
  serve::Api api(setup);
  auto server = serve::HttpServer::start(host, port, serve::ServerLimits{},
                                         [&api](const serve::Request& r) { return api.handle(r); });
  if (!server.ok()) {
    err << "qzt: " << server.error().message << '\n';
    cleanup();
    return kUnreadable;
  }
  printAddresses(host, server.value()->port(), setup.teacherToken, out);

  while (!serve::platform::waitForStop(500)) room.value()->tick(monotonicMs());
  server.value()->stop();  // waits for the requests running
  room.value()->flush(monotonicMs());
  cleanup();
  out << "Stopped; the answers are in " << args.answers << "\n";
  return kDone;
}

}  // namespace qzt::cli
