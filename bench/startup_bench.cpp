// Start-up time of the reader against minimal Qt programs showing the same
// page, in the same run, watched from outside through the X server.
//
// A text paper: 1002 questions with a plain-text page, written with the
// paper writer. Each run starts a program and stops the clock at its first
// drawing into a window that carries the paper's title: the reader titles
// its window while loading the paper and draws next once the page and the
// grid are built and the exam runs; a minimal Widgets window draws the
// same text under the same title.
//
// A web paper: the demo paper, against a minimal QWebEngineView showing the
// same page file. The clock stops when the page's picture is on screen:
// the first time a window holds a patch of the triangle's fill colour,
// which nothing else on screen has.
//
// Medians of RUNS runs, alternating, and the reader's ratios; then the web
// baseline against itself, the ratio two identical programs show.
//   xvfb-run -a -s "-screen 0 1280x800x24" startup_bench [RUNS] [READER]
// RUNS defaults to 7, READER to this build's qzt-reader.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "author/paper_writer.h"

namespace fs = std::filesystem;
using namespace qzt;
using Clock = std::chrono::steady_clock;

extern char** environ;

namespace {

constexpr int kQuestions = 1002;
constexpr char kTitle[] = "Start-up benchmark paper";

// The page: every question's text, in ASCII so that both programs show the
// same characters whatever they decode it as.
std::string questionText() {
  std::string text;
  for (int q = 1; q <= kQuestions; ++q) {
    text += std::to_string(q) + ". Question " + std::to_string(q) +
            ": which of the following holds for the value " + std::to_string(q * 37 % 1000) + "?\n";
    for (char option : {'A', 'B', 'C', 'D'}) {
      text += std::string("   ") + option + ". option " + option + " of question " + std::to_string(q) + "\n";
    }
  }
  return text;
}

writer::PaperSpec paperSpec(const std::string& text) {
  writer::PaperSpec spec;
  spec.title = kTitle;
  spec.timeLimit = 120;
  spec.page = {writer::GroupEntry::file("paper.txt", text)};
  for (int q = 1; q <= kQuestions; ++q) {
    const std::int32_t kind = q % 50 == 1 ? 100 : q % 7 == 0 ? 3 : q % 3 == 0 ? 2 : 1;
    spec.questions.push_back({std::to_string(q), kind, kind == 3 ? 0 : 4, kind == 2 ? "AC" : "B", 1,
                              static_cast<unsigned char>(q)});
  }
  return spec;
}

// Watches the X server for the first drawing into a top-level window after
// it carries a given title, or for a colour drawn into one. Every drawing is reported (raw rectangles), so
// none is lost between two events; the server reports them in the order it
// handled the client's requests, so a drawing seen after the title change
// was made after it.
class TitleWatch {
 public:
  TitleWatch() : c_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(c_)) fail("no X display (run it under xvfb-run)");
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c_, &xcb_damage_id);
    if (!damage || !damage->present) fail("the X server has no DAMAGE extension");
    damageNotify_ = damage->first_event + XCB_DAMAGE_NOTIFY;
    std::free(xcb_damage_query_version_reply(c_, xcb_damage_query_version(c_, 1, 1), nullptr));
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
    netWmName_ = atom("_NET_WM_NAME");
    xcb_flush(c_);
  }
  ~TitleWatch() { xcb_disconnect(c_); }

  // Whether a window manager has announced itself on the root window.
  bool windowManagerReady() {
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
    auto* prop = xcb_get_property_reply(c_, xcb_get_property(c_, 0, root_, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
    const bool ready = prop && xcb_get_property_value_length(prop) > 0;
    std::free(prop);
    return ready;
  }

  // Waits for the first drawing into a window titled `title`, after the
  // title; false after `limit`.
  bool waitFor(const std::string& title, Clock::duration limit) {
    titled_.clear();
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
      xcb_generic_event_t* e = xcb_poll_for_event(c_);
      if (!e) {
        pollfd fd{xcb_get_file_descriptor(c_), POLLIN, 0};
        ::poll(&fd, 1, 20);
        continue;
      }
      const bool drawn = handle(e, title);
      std::free(e);
      if (drawn) return true;
    }
    return false;
  }

  // Waits until a top-level window holds at least `pixels` pixels of the
  // colour `rgb`; false after `limit`. Drawn windows are read once the
  // events that came with them are all handled.
  bool waitForColour(std::uint32_t rgb, int pixels, Clock::duration limit) {
    titled_.clear();
    std::vector<xcb_window_t> drawn;
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
      xcb_generic_event_t* e = xcb_poll_for_event(c_);
      if (e) {
        if ((e->response_type & 0x7f) == damageNotify_) {
          const xcb_window_t w = reinterpret_cast<xcb_damage_notify_event_t*>(e)->drawable;
          if (std::find(drawn.begin(), drawn.end(), w) == drawn.end()) drawn.push_back(w);
        } else {
          handle(e, {});
        }
        std::free(e);
        continue;
      }
      for (const xcb_window_t w : drawn) {
        if (countColour(w, rgb) >= pixels) return true;
      }
      drawn.clear();
      pollfd fd{xcb_get_file_descriptor(c_), POLLIN, 0};
      ::poll(&fd, 1, 20);
    }
    return false;
  }

 private:
  [[noreturn]] static void fail(const char* why) {
    std::fprintf(stderr, "startup_bench: %s\n", why);
    std::exit(1);
  }

  xcb_atom_t atom(const char* name) {
    const auto len = static_cast<std::uint16_t>(std::strlen(name));
    auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, len, name), nullptr);
    const xcb_atom_t a = r ? r->atom : XCB_NONE;
    std::free(r);
    return a;
  }

  // True on a drawing into a window whose title was seen before it.
  bool handle(xcb_generic_event_t* e, const std::string& title) {
    const std::uint8_t type = e->response_type & 0x7f;
    if (type == damageNotify_) {
      const auto* d = reinterpret_cast<xcb_damage_notify_event_t*>(e);
      return std::find(titled_.begin(), titled_.end(), d->drawable) != titled_.end();
    }
    if (type == XCB_CREATE_NOTIFY) {
      // From its creation on: its title changes and every drawing into it.
      const xcb_window_t w = reinterpret_cast<xcb_create_notify_event_t*>(e)->window;
      const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
      xcb_change_window_attributes(c_, w, XCB_CW_EVENT_MASK, &mask);
      xcb_damage_create(c_, xcb_generate_id(c_), w, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
      xcb_flush(c_);
      if (hasTitle(w, title)) titled_.push_back(w);
    } else if (type == XCB_PROPERTY_NOTIFY) {
      const xcb_window_t w = reinterpret_cast<xcb_property_notify_event_t*>(e)->window;
      if (hasTitle(w, title)) titled_.push_back(w);
    }
    return false;
  }

  // Pixels of exactly `rgb` in the window (24-bit TrueColor, 32 bits a
  // pixel, as Xvfb has it).
  int countColour(xcb_window_t w, std::uint32_t rgb) {
    auto* geometry = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr);
    if (!geometry) return 0;
    auto* image = xcb_get_image_reply(
        c_, xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, geometry->width, geometry->height, ~0u),
        nullptr);
    std::free(geometry);
    if (!image) return 0;
    const int length = xcb_get_image_data_length(image);
    const std::uint8_t* data = xcb_get_image_data(image);
    int count = 0;
    for (int i = 0; i + 3 < length; i += 4) {
      const std::uint32_t pixel = data[i] | data[i + 1] << 8 | static_cast<std::uint32_t>(data[i + 2]) << 16;
      count += pixel == rgb;
    }
    std::free(image);
    return count;
  }

  bool hasTitle(xcb_window_t w, const std::string& title) {
    auto* prop = xcb_get_property_reply(
        c_, xcb_get_property(c_, 0, w, netWmName_, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
    bool same = false;
    if (prop) {
      const auto* bytes = static_cast<const char*>(xcb_get_property_value(prop));
      same = std::string(bytes, static_cast<std::size_t>(xcb_get_property_value_length(prop))) == title;
      std::free(prop);
    }
    return same;
  }

  xcb_connection_t* c_;
  xcb_window_t root_ = XCB_NONE;
  std::uint8_t damageNotify_ = 0;
  xcb_atom_t netWmName_ = XCB_NONE;
  std::vector<xcb_window_t> titled_;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// One start: the seconds until `shown` says so, or none.
std::optional<double> timeStart(TitleWatch& watch, std::vector<std::string> args, const fs::path& home,
                                const std::function<bool(TitleWatch&)>& shown) {
  fs::remove_all(home);
  fs::create_directories(home / "tmp");
  fs::create_directories(home / "data");
  // Work folder, socket and recovery copies in a folder of this run: no
  // earlier run's exam is offered back, no other reader is reached.
  setenv("TMPDIR", (home / "tmp").c_str(), 1);
  setenv("QZT_DATA_DIR", (home / "data").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const auto start = Clock::now();
  const bool spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  if (!spawned) return std::nullopt;
  const bool seen = shown(watch);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
  fs::remove_all(home);
  if (!seen) return std::nullopt;
  return seconds;
}

bool titleDrawn(TitleWatch& watch) { return watch.waitFor(kTitle, std::chrono::seconds(60)); }

// The demo page's triangle is filled with #dfeefa; its inside is a few
// thousand pixels.
bool trianglePainted(TitleWatch& watch) {
  return watch.waitForColour(0xdfeefa, 1000, std::chrono::seconds(90));
}

// Medians of alternating starts of the reader and of its baseline; not ok
// when a start never showed what it should.
struct Medians {
  bool ok = false;
  double reader = 0;
  double baseline = 0;
};

Medians alternate(TitleWatch& watch, int runs, const std::vector<std::string>& readerArgs,
                                 const std::vector<std::string>& baselineArgs, const fs::path& home,
                                 const std::function<bool(TitleWatch&)>& shown) {
  std::vector<double> reader, baseline;
  for (int i = 0; i < runs; ++i) {
    const auto r = timeStart(watch, readerArgs, home, shown);
    const auto b = timeStart(watch, baselineArgs, home, shown);
    if (!r || !b) return {};
    reader.push_back(*r);
    baseline.push_back(*b);
  }
  return {true, median(reader), median(baseline)};
}

// Both programs ask for a maximised window, which takes a window manager:
// openbox when there is one, so both draw the whole screen. 0 without.
pid_t startWindowManager(TitleWatch& watch) {
  char program[] = "openbox";
  char* argv[] = {program, nullptr};
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&quiet, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = 0;
  const bool started = posix_spawnp(&pid, program, &quiet, nullptr, argv, environ) == 0;
  posix_spawn_file_actions_destroy(&quiet);
  if (!started) return 0;
  for (int i = 0; i < 100 && !watch.windowManagerReady(); ++i) ::usleep(50000);
  return pid;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = std::clamp(argc > 1 ? std::atoi(argv[1]) : 7, 1, 100);
  // Every wait below has its limit, but a reply from an X server that
  // stopped answering has none: the whole run ends after its longest time.
  ::alarm(static_cast<unsigned>(60 + runs * 2 * (60 + 90 + 90)));
  // Another build's reader, to compare two builds in one run of each.
  const std::string readerProgram = argc > 2 ? argv[2] : QZT_READER;
  const fs::path scratch = fs::temp_directory_path() / ("qzt-startup-bench-" + std::to_string(::getpid()));
  fs::create_directories(scratch);
  const std::string text = questionText();
  const fs::path paper = scratch / "paper.qzt", textFile = scratch / "paper.txt";
  std::ofstream(textFile, std::ios::binary) << text;
  if (!writer::writePaper(paper, paperSpec(text)).ok()) return 1;

  // The engine refuses to start as root with its sandbox; the reader turns
  // it off itself then, the baseline is told the same.
  if (::geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);

  TitleWatch watch;
  const pid_t windowManager = startWindowManager(watch);
  const Medians textPaper = alternate(watch, runs, {readerProgram, paper.string()},
                              {QZT_MINIMAL_WINDOW, kTitle, textFile.string()}, scratch / "run", titleDrawn);
  const std::vector<std::string> webBaseline{QZT_MINIMAL_WEB_VIEW, kTitle, QZT_DEMO_PAGE};
  const Medians web = textPaper.ok ? alternate(watch, runs, {readerProgram, QZT_DEMO_PAPER}, webBaseline,
                                               scratch / "run", trianglePainted)
                                   : Medians{};
  // The same program against itself: how far apart two medians of this
  // run fall when nothing differs, next to a goal of 1.00x.
  const Medians webNoise = web.ok ? alternate(watch, runs, webBaseline, webBaseline, scratch / "run", trianglePainted)
                                  : Medians{};
  if (windowManager) {
    ::kill(windowManager, SIGTERM);
    ::waitpid(windowManager, nullptr, 0);
  }
  fs::remove_all(scratch);
  if (!textPaper.ok || !web.ok || !webNoise.ok) {
    std::fprintf(stderr, "startup_bench: a window never showed the %s\n",
                 textPaper.ok ? "demo page's picture" : "paper's title");
    return 1;
  }
  std::printf("start to a paper on screen, median of %d runs%s\n", runs,
              windowManager ? "" : " (no window manager: windows keep their own size)");
  std::printf("  %d-question text paper\n", kQuestions);
  std::printf("    %-34s %8.3f s  reader %.2fx (goal 1.20x)\n", "minimal Qt Widgets window", textPaper.baseline,
              textPaper.reader / textPaper.baseline);
  std::printf("    %-34s %8.3f s\n", "qzt-reader", textPaper.reader);
  std::printf("  the demo web paper, to its picture\n");
  std::printf("    %-34s %8.3f s  reader %.2fx (goal 1.00x)\n", "minimal QWebEngineView", web.baseline,
              web.reader / web.baseline);
  std::printf("    %-34s %8.3f s\n", "qzt-reader", web.reader);
  std::printf("    %-34s %8.3f s  itself %.2fx (the run's noise)\n", "minimal QWebEngineView, again",
              webNoise.reader, webNoise.reader / webNoise.baseline);
  return 0;
}
