// The real command killed with SIGKILL mid-exam and started again on the
// same answer folder: answers and time left come back.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <thread>

#include "cli.h"
#include "serve_fixture.h"

namespace qzt::serve::testing {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

struct RunningServer {
  pid_t pid = -1;
  std::uint16_t port = 0;
  std::string token;
};

// The server's own folders go to `temp`.
RunningServer startServe(const fs::path& paper, const fs::path& answers, const fs::path& log,
                         const fs::path& temp) {
  RunningServer s;
  s.pid = fork();
  if (s.pid == 0) {
    setenv("TMPDIR", temp.c_str(), 1);
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, 1);
    dup2(fd, 2);
    execl(QZT_BINARY, "qzt", "serve", paper.c_str(), "--answers", answers.c_str(), "--listen",
          "127.0.0.1:0", static_cast<char*>(nullptr));
    _exit(127);
  }
  const std::regex address("http://127\\.0\\.0\\.1:([0-9]+)/teacher\\?token=([0-9a-f]+)");
  for (int i = 0; i < 100 && s.port == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream in(log);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::smatch m;
    if (std::regex_search(text, m, address)) {
      s.port = static_cast<std::uint16_t>(std::stoi(m[1]));
      s.token = m[2];
    }
  }
  return s;
}

int folderCount(const fs::path& folder) {
  return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

int stop(RunningServer& s, int signal) {
  kill(s.pid, signal);
  int status = 0;
  waitpid(s.pid, &status, 0);
  return status;
}

TEST(ServeCommand, KilledMidExamComesBackWithAnswersAndTime) {
  qzt::testing::TempDir dir;
  ASSERT_TRUE(writer::writePaper(dir / "paper.qzt", classroomPaper()).ok());
  fs::create_directory(dir / "tmp");
  RunningServer first = startServe(dir / "paper.qzt", dir / "answers", dir / "log1", dir / "tmp");
  ASSERT_NE(first.port, 0) << "the server printed its address";

  const Reply in = request(first.port, "POST", "/api/signin", R"({"name":"Cy","number":"3"})");
  const std::string cookie = cookieLine(in);
  ASSERT_EQ(request(first.port, "GET", "/api/exam", {}, cookie).status, 200);
  ASSERT_EQ(request(first.port, "PUT", "/api/answers",
                    R"({"version":3,"answers":[{"row":2,"letters":"B"},{"row":3,"letters":"AC"},{"row":4,"text":"ZEB"}]})",
                    cookie).status, 200);
  std::this_thread::sleep_for(std::chrono::milliseconds(2200));
  const json before = json::parse(request(first.port, "GET", "/api/state", {}, cookie).body);
  stop(first, SIGKILL);
  std::this_thread::sleep_for(std::chrono::seconds(2));  // down: the clock must not run

  EXPECT_EQ(folderCount(dir / "tmp"), 1) << "a killed server leaves its unpacked paper";
  RunningServer second = startServe(dir / "paper.qzt", dir / "answers", dir / "log2", dir / "tmp");
  ASSERT_NE(second.port, 0);
  EXPECT_EQ(folderCount(dir / "tmp"), 1) << "the next start clears it away";
  const json after = json::parse(request(second.port, "GET", "/api/state", {}, cookie).body);
  EXPECT_EQ(after["version"], 3);
  EXPECT_EQ(after["answers"], before["answers"]);
  const std::int64_t left = after["remainingSeconds"], was = before["remainingSeconds"];
  EXPECT_LE(left, was + 1) << "at most the last second is lost";
  EXPECT_GE(left, was - 1) << "time did not run while the server was down";

  const Reply handIn = request(second.port, "POST", "/api/handin", "", cookie);
  ASSERT_EQ(handIn.status, 200);
  EXPECT_EQ(WIFEXITED(stop(second, SIGINT)), true) << "Ctrl+C ends it cleanly";
  EXPECT_EQ(folderCount(dir / "tmp"), 0);

  std::ostringstream out, err;
  ASSERT_EQ(cli::run({"grade", (dir / "paper.qzt").string(), (dir / "answers" / "3-Cy.da").string(), "--json"}, out, err), 0)
      << err.str();
  const json graded = json::parse(out.str());
  const json results = json::parse(handIn.body)["results"];
  EXPECT_EQ(results["report"], graded["report"]);
  EXPECT_EQ(results["score"], graded["score"]);
  EXPECT_EQ(results["score"], 5);
}

}  // namespace
}  // namespace qzt::serve::testing
