// Load on `qzt serve` over loopback: N candidates sign in, then answer and
// autosave every 2 s (a quarter of them hand in halfway) while dashboards
// poll the room and the class report as the dashboard does and idle, slow
// connections stay open. Prints latency (p50/p99), errors, the server's
// CPU and peak memory, and checks that every answer file on disk holds the
// last answers sent.
// Usage: serve_load [candidates=1000] [seconds=180] [dashboards=5] [idle=200]
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <mutex>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "author/paper_writer.h"
#include "http_client.h"
#include "paper/format.h"
#include "shell/work_folder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using qzt::serve::testing::Reply;
constexpr int kQuestions = 20;

struct Stats {
  std::mutex lock;
  std::vector<double> ms;
  std::atomic<int> errors{0};
  void add(double v) {
    std::lock_guard g(lock);
    ms.push_back(v);
  }
};

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

struct Candidate {
  std::string cookie;
  std::string name;
  std::vector<char> last = std::vector<char>(kQuestions + 1, 0);  // letter per row, 0 none
  long version = 0;
  bool handedIn = false;
};

long procTicks(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string s((std::istreambuf_iterator<char>(in)), {});
  std::istringstream fields(s.substr(s.rfind(')') + 2));
  std::string f;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14) utime = std::stol(f);
    if (i == 15) stime = std::stol(f);
  }
  return utime + stime;
}

long peakRssKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int seconds = std::min(argc > 2 ? std::atoi(argv[2]) : 180, 600);
  const int dashboards = argc > 3 ? std::atoi(argv[3]) : 5;
  const int idleCount = argc > 4 ? std::atoi(argv[4]) : 200;
  const fs::path dir = qzt::createWorkFolder().value();

  qzt::writer::PaperSpec spec;
  spec.paperKey = "LOAD-1";
  spec.timeLimit = 600;
  spec.page = {qzt::writer::GroupEntry::file("index.html", "<p>load</p>")};
  for (int q = 1; q <= kQuestions; ++q) spec.questions.push_back({std::to_string(q), qzt::format::kKindSingle, 4, "A", 1});
  if (!qzt::writer::writePaper(dir / "paper.qzt", spec).ok()) return 1;

  const pid_t pid = fork();
  if (pid == 0) {
    const int fd = open((dir / "log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, 1);
    dup2(fd, 2);
    execl(QZT_PROGRAM, "qzt", "serve", (dir / "paper.qzt").c_str(), "--answers", (dir / "answers").c_str(),
          "--listen", "127.0.0.1:0", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::uint16_t port = 0;
  std::string token;
  const std::regex address("127\\.0\\.0\\.1:([0-9]+)/teacher\\?token=([0-9a-f]+)");
  for (int i = 0; i < 200 && port == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream in(dir / "log");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::smatch m;
    if (std::regex_search(text, m, address)) {
      port = static_cast<std::uint16_t>(std::stoi(m[1]));
      token = m[2];
    }
  }
  if (port == 0) {
    std::cerr << "serve_load: the server did not start\n";
    kill(pid, SIGKILL);
    return 1;
  }

  std::vector<int> idle;
  for (int i = 0; i < idleCount; ++i) {
    const int fd = qzt::serve::testing::connectLoopback(port);
    if (fd >= 0 && send(fd, "GET /api/info HTTP/1.1\r\nHo", 26, MSG_NOSIGNAL) > 0) idle.push_back(fd);
  }

  Stats signIn, save, poll, handIn;
  std::vector<Candidate> people(static_cast<std::size_t>(n));
  const long ticks0 = procTicks(pid);
  const auto start = Clock::now();
  const int threads = 8;
  auto timed = [](Stats& s, auto&& call) {
    const auto t0 = Clock::now();
    const Reply r = call();
    s.add(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    if (r.status != 200) ++s.errors;
    return r;
  };
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      std::mt19937 random(static_cast<unsigned>(t));
      for (int i = t; i < n; i += threads) {
        Candidate& c = people[static_cast<std::size_t>(i)];
        c.name = "c" + std::to_string(i);
        const Reply r = timed(signIn, [&] {
          return qzt::serve::testing::request(port, "POST", "/api/signin", "{\"name\":\"" + c.name + "\",\"number\":\"" + std::to_string(i) + "\"}");
        });
        c.cookie = qzt::serve::testing::cookieLine(r);
        qzt::serve::testing::request(port, "GET", "/api/exam", {}, c.cookie);
      }
      const auto end = start + std::chrono::seconds(seconds);
      const auto halfway = start + std::chrono::seconds(seconds) / 2;
      // Each candidate saves every 2 s, spread evenly over the two seconds.
      const int mine = (n - t + threads - 1) / threads;
      for (long round = 0; Clock::now() < end; ++round) {
        const auto roundStart = Clock::now();
        for (int k = 0, i = t; i < n && Clock::now() < end; i += threads, ++k) {
          std::this_thread::sleep_until(roundStart + std::chrono::milliseconds(2000L * k / std::max(mine, 1)));
          Candidate& c = people[static_cast<std::size_t>(i)];
          if (c.handedIn) continue;
          if (i % 4 == 0 && Clock::now() >= halfway) {
            timed(handIn, [&] { return qzt::serve::testing::request(port, "POST", "/api/handin", "{}", c.cookie); });
            c.handedIn = true;
            continue;
          }
          c.last[static_cast<std::size_t>(1 + random() % kQuestions)] = static_cast<char>('A' + random() % 4);
          std::string body = "{\"version\":" + std::to_string(++c.version) + ",\"answers\":[";
          for (int q = 1; q <= kQuestions; ++q) {
            if (c.last[static_cast<std::size_t>(q)] == 0) continue;
            if (body.back() != '[') body += ',';
            body += "{\"row\":" + std::to_string(q) + ",\"letters\":\"" + c.last[static_cast<std::size_t>(q)] + "\"}";
          }
          body += "]}";
          timed(save, [&] { return qzt::serve::testing::request(port, "PUT", "/api/answers", body, c.cookie); });
          if (k % 10 == 0) timed(poll, [&] { return qzt::serve::testing::request(port, "GET", "/api/state", {}, c.cookie); });
        }
        std::this_thread::sleep_until(roundStart + std::chrono::seconds(2));
      }
    });
  }
  // Each dashboard asks for the room and the class report every 3 s, as the
  // teacher's page does.
  Stats room, report;
  std::atomic<bool> running{true};
  std::vector<std::thread> boards;
  for (int d = 0; d < dashboards; ++d) {
    boards.emplace_back([&] {
      const std::string bearer = "Authorization: Bearer " + token + "\r\n";
      while (running) {
        timed(room, [&] { return qzt::serve::testing::request(port, "GET", "/api/teacher/room", {}, bearer); });
        timed(report, [&] { return qzt::serve::testing::request(port, "GET", "/api/teacher/report", {}, bearer); });
        std::this_thread::sleep_for(std::chrono::seconds(3));
      }
    });
  }
  // The slow connections send a byte now and then, never a whole request.
  std::thread slow([&] {
    while (running) {
      std::this_thread::sleep_for(std::chrono::seconds(1));
      if ((Clock::now() - start) % std::chrono::seconds(20) < std::chrono::seconds(1)) {
        for (int fd : idle) (void)!send(fd, "s", 1, MSG_NOSIGNAL);
      }
    }
  });
  for (auto& w : workers) w.join();
  running = false;
  for (auto& b : boards) b.join();
  slow.join();
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const long ticks = procTicks(pid) - ticks0;
  const long rssKb = peakRssKb(pid);
  kill(pid, SIGINT);
  int status = 0;
  waitpid(pid, &status, 0);
  for (int fd : idle) close(fd);

  int lost = 0;
  for (int i = 0; i < n; ++i) {
    const Candidate& c = people[static_cast<std::size_t>(i)];
    std::ifstream in(dir / "answers" / (std::to_string(i) + "-" + c.name + ".da"), std::ios::binary);
    std::string line;
    std::getline(in, line);
    for (int q = 1; q <= kQuestions; ++q) {
      std::getline(in, line);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const char want = c.last[static_cast<std::size_t>(q)];
      if (line != (want ? std::string{' ', want} : std::string())) {
        ++lost;
        break;
      }
    }
  }
  std::vector<double> all = save.ms;
  all.insert(all.end(), poll.ms.begin(), poll.ms.end());
  std::vector<double> boardMs = room.ms;
  boardMs.insert(boardMs.end(), report.ms.begin(), report.ms.end());
  const int errors = signIn.errors + save.errors + poll.errors + handIn.errors + room.errors + report.errors;
  std::printf("candidates %d, %d s, %d dashboards, %zu idle slow connections\n", n, seconds, dashboards, idle.size());
  std::printf("sign-in   p50 %.1f ms  p99 %.1f ms  (%zu)\n", percentile(signIn.ms, 0.5), percentile(signIn.ms, 0.99), signIn.ms.size());
  std::printf("autosave  p50 %.1f ms  p99 %.1f ms  (%zu)\n", percentile(save.ms, 0.5), percentile(save.ms, 0.99), save.ms.size());
  std::printf("state     p50 %.1f ms  p99 %.1f ms  (%zu)\n", percentile(poll.ms, 0.5), percentile(poll.ms, 0.99), poll.ms.size());
  std::printf("hand-in   p50 %.1f ms  p99 %.1f ms  (%zu)\n", percentile(handIn.ms, 0.5), percentile(handIn.ms, 0.99), handIn.ms.size());
  std::printf("room      p50 %.1f ms  p99 %.1f ms  (%zu)\n", percentile(room.ms, 0.5), percentile(room.ms, 0.99), room.ms.size());
  std::printf("report    p50 %.1f ms  p99 %.1f ms  (%zu)\n", percentile(report.ms, 0.5), percentile(report.ms, 0.99), report.ms.size());
  std::printf("candidate requests p99 %.1f ms; dashboard requests p99 %.1f ms; errors %d; lost answers %d\n",
              percentile(all, 0.99), percentile(boardMs, 0.99), errors, lost);
  std::printf("server CPU %.0f%% of one core; peak RSS %ld MB; exit %s\n",
              100.0 * static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK)) / wall, rssKb / 1024,
              WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "clean" : "NOT clean");
  // Other programs on the machine share its cores: their load is part of the figures.
  std::ifstream loadavg("/proc/loadavg");
  std::string load;
  std::getline(loadavg, load);
  std::printf("machine load average (1, 5, 15 min; runnable/all): %s\n", load.c_str());
  qzt::removeWorkFolder(dir);
  return errors == 0 && lost == 0 && WIFEXITED(status) ? 0 : 1;
}
