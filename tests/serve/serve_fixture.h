// A classroom server on 127.0.0.1 (any free port) over a paper written in
// the test, with a clock the test moves.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "../core/paper/test_files.h"
#include "api.h"
#include "author/paper_writer.h"
#include "http_client.h"
#include "http_server.h"
#include "paper/format.h"
#include "util/gbk.h"

namespace qzt::serve::testing {

inline ByteString gbk(const std::string& utf8) { return utf8ToGbk(utf8).value(); }

inline writer::PaperSpec classroomPaper() {
  namespace f = qzt::format;
  writer::PaperSpec spec;
  spec.paperKey = "ROOM-1";
  spec.timeLimit = 10;
  // A folder entry puts the files after it into that folder.
  spec.page = {writer::GroupEntry::file("index.html", "<p>paper</p>"), writer::GroupEntry::folder("sub"),
               writer::GroupEntry::file("a.css", "body{}")};
  spec.questions = {{"", f::kKindHeading, 0, "Part one", 0},
                    {"1", f::kKindSingle, 4, "B", 2},
                    {"2", f::kKindMultiple, 4, "A C", 3},
                    {"3", f::kKindText, 0, "ZEBRA", 5}};
  return spec;
}

class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override { startWith(classroomPaper()); }
  void TearDown() override {
    if (server_) server_->stop();
  }

  void startWith(const writer::PaperSpec& spec, classroom::ResultsPolicy policy = classroom::ResultsPolicy::Now) {
    const Status written = writer::writePaper(dir_ / "paper.qzt", spec);
    ASSERT_TRUE(written.ok()) << written.error().message;
    paper_ = readPaper(dir_ / "paper.qzt", 0).value();
    auto site = PaperSite::open(paper_, dir_ / "work");
    ASSERT_TRUE(site.ok()) << site.error().message;
    site_ = std::move(site).value();
    site_->unpackNotes();
    classroom::RoomOptions options;
    options.answersDir = dir_ / "answers";
    options.results = policy;
    options.roster = {{"Ann", "1"}, {"Bob", "2"}};
    room_ = classroom::Classroom::open(paper_, options, now_).value();
    ApiSetup setup;
    setup.room = room_.get();
    setup.paper = &paper_;
    setup.site = site_.get();
    setup.teacherToken = kTeacher;
    setup.nowMs = [this] { return now_.load(); };
    setup.reportJson = [](const report::ClassReport& r) { return "{\"files\":" + std::to_string(r.files.size()) + "}"; };
    api_ = std::make_unique<Api>(setup);
    ServerLimits limits;
    limits.bodyBytes = 64 * 1024;
    limits.idleTimeoutSeconds = 5;
    auto server = HttpServer::start("127.0.0.1", 0, limits, [this](const Request& r) { return api_->handle(r); });
    ASSERT_TRUE(server.ok());
    server_ = std::move(server).value();
  }

  Reply get(const std::string& path, const std::string& headers = {}) {
    return request(server_->port(), "GET", path, {}, headers);
  }
  Reply send(const std::string& method, const std::string& path, const std::string& body,
             const std::string& headers = {}) {
    return request(server_->port(), method, path, body, headers);
  }
  // Signs in and returns the Cookie header line.
  std::string signIn(const std::string& name, const std::string& number) {
    const Reply r = send("POST", "/api/signin", "{\"name\":\"" + name + "\",\"number\":\"" + number + "\"}");
    EXPECT_EQ(r.status, 200) << r.body;
    return cookieLine(r);
  }

  static constexpr char kTeacher[] = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
  qzt::testing::TempDir dir_;
  LoadedPaper paper_;
  std::unique_ptr<PaperSite> site_;
  std::unique_ptr<classroom::Classroom> room_;
  std::unique_ptr<Api> api_;
  std::unique_ptr<HttpServer> server_;
  std::atomic<std::int64_t> now_{0};
};

}  // namespace qzt::serve::testing
