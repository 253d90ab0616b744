// The classroom API from arbitrary requests: the first byte picks the
// method and a session (none, a live one, the teacher), then come the path
// up to a newline and the body. Also the page paths, the roster and the
// RTF page as the browser gets it, which take bytes from the room or the paper.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "api.h"
#include "author/paper_writer.h"
#include "classroom/roster.h"
#include "fuzz_scratch.h"
#include "paper/format.h"
#include "side/rtf_html.h"

namespace {

using namespace qzt;

struct Room {
  LoadedPaper paper;
  std::unique_ptr<serve::PaperSite> site;
  std::unique_ptr<classroom::Classroom> room;
  std::unique_ptr<serve::Api> api;
  std::string session;
  std::int64_t now = 0;
};

constexpr char kTeacher[] = "feedfacefeedfacefeedfacefeedfacefeedfacefeedfacefeedfacefeedface";

Room& room() {
  static Room r = [] {
    Room made;
    const auto dir = fuzz::emptyFolder("serve");
    writer::PaperSpec spec;
    spec.page = {writer::GroupEntry::file("index.html", "<p>x</p>")};
    spec.questions = {{"", format::kKindHeading, 0, "Part", 0}, {"1", format::kKindSingle, 4, "A", 1},
                      {"2", format::kKindMultiple, 3, "AC", 1}, {"3", format::kKindText, 0, "abc", 1}};
    (void)writer::writePaper(dir / "paper.qzt", spec);
    made.paper = readPaper(dir / "paper.qzt", 0).value();
    made.site = std::move(serve::PaperSite::open(made.paper, dir / "work")).value();
    classroom::RoomOptions options;
    options.answersDir = dir / "answers";
    options.roster = {{"Ann", "1"}};
    made.room = std::move(classroom::Classroom::open(made.paper, options, 0)).value();
    made.session = made.room->signIn("Fuzz", "0", 0).value().token;
    return made;
  }();
  if (!r.api) {
    serve::ApiSetup setup{r.room.get(), &r.paper, r.site.get(), kTeacher,
                          [] { return room().now; }, [](const report::ClassReport&) { return std::string("{}"); }};
    r.api = std::make_unique<serve::Api>(setup);
  }
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  Room& r = room();
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  static const char* kMethods[] = {"GET", "POST", "PUT", "HEAD"};
  serve::Request request;
  request.method = kMethods[data[0] & 3];
  const auto newline = input.find('\n');
  request.path = input.substr(0, newline);
  request.body = newline == std::string::npos ? "" : input.substr(newline + 1);
  request.headers["content-type"] = "application/json";
  if (data[0] & 4) request.cookies["qzt_session"] = r.session;
  if (data[0] & 8) request.headers["authorization"] = std::string("Bearer ") + kTeacher;
  r.now += (data[0] >> 4) * 1000;
  // Ending the exam or handing in would make every later input dull.
  if (request.path.find("end") == std::string::npos && request.path.find("handin") == std::string::npos) {
    const serve::Response response = r.api->handle(request);
    if (response.status < 100 || response.status > 599) __builtin_trap();
  }
  (void)serve::safeRelativePath(input);
  (void)classroom::parseRoster(input);
  (void)rtfHtmlDocument(input);
  return 0;
}
