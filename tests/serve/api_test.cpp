#include <nlohmann/json.hpp>

#include "serve_fixture.h"

namespace qzt::serve::testing {
namespace {

using nlohmann::json;

TEST_F(ServerTest, CandidateSignsInAnswersAndHandsIn) {
  const Reply info = get("/api/info");
  ASSERT_EQ(info.status, 200);
  EXPECT_EQ(json::parse(info.body)["questionCount"], 4);
  EXPECT_TRUE(json::parse(info.body)["roster"]);

  const Reply in = send("POST", "/api/signin", R"({"name":"Cy","number":"3"})");
  ASSERT_EQ(in.status, 200);
  const std::string cookie = cookieLine(in);
  EXPECT_NE(in.headers.at("set-cookie").find("HttpOnly; SameSite=Strict"), std::string::npos);
  EXPECT_EQ(send("POST", "/api/signin", R"({"name":"Cy","number":"3"})").status, 409);

  const Reply exam = get("/api/exam", cookie);
  ASSERT_EQ(exam.status, 200);
  EXPECT_EQ(exam.body.find("ZEBRA"), std::string::npos) << "never the key before the hand-in";
  const json shape = json::parse(exam.body);
  EXPECT_EQ(shape["rows"][1]["kind"], "single");
  EXPECT_EQ(shape["page"]["src"], "/paper/index.html");

  now_ = 2000;
  const Reply put = send("PUT", "/api/answers",
                         R"({"version":1,"answers":[{"row":2,"letters":"B"},{"row":4,"text":"zebra"}]})", cookie);
  ASSERT_EQ(put.status, 200) << put.body;
  EXPECT_EQ(json::parse(put.body)["remainingSeconds"], 598);
  const Reply stale = send("PUT", "/api/answers", R"({"version":1,"answers":[]})", cookie);
  EXPECT_EQ(stale.status, 409);
  EXPECT_EQ(json::parse(stale.body)["answers"].size(), 2u);
  EXPECT_EQ(send("PUT", "/api/answers", R"({"version":2,"answers":[{"row":2,"letters":"AB"}]})", cookie).status, 400);

  const Reply state = get("/api/state", cookie);
  EXPECT_EQ(json::parse(state.body)["results"], nullptr);
  EXPECT_EQ(state.body.find("ZEBRA"), std::string::npos);

  const Reply handIn = send("POST", "/api/handin", "", cookie);
  ASSERT_EQ(handIn.status, 200);
  const json results = json::parse(handIn.body)["results"];
  EXPECT_EQ(results["score"], 2) << "a text answer is compared byte for byte with the upper-cased key";
  EXPECT_EQ(results["rows"][2]["correct"], "ZEBRA");
  EXPECT_EQ(send("PUT", "/api/answers", R"({"version":9,"answers":[]})", cookie).status, 403);
}

TEST_F(ServerTest, CandidatesSeeOnlyTheirOwnAnswers) {
  const std::string ann = signIn("Ann", "1"), bob = signIn("Bob", "2");
  ASSERT_EQ(send("PUT", "/api/answers", R"({"version":1,"answers":[{"row":2,"letters":"A"}]})", ann).status, 200);
  EXPECT_EQ(json::parse(get("/api/state", bob).body)["answers"].size(), 0u);
  EXPECT_EQ(json::parse(get("/api/state", ann).body)["answers"].size(), 1u);
}

TEST_F(ServerTest, RosterSignInAndResume) {
  const Reply people = get("/api/roster");
  EXPECT_EQ(json::parse(people.body)["people"][1]["name"], "Bob");
  const Reply in = send("POST", "/api/signin", R"({"rosterId":1})");
  ASSERT_EQ(in.status, 200);
  const std::string code = json::parse(in.body)["resumeCode"];
  EXPECT_EQ(send("POST", "/api/resume", R"({"name":"Bob","number":"2","resumeCode":"ZZZ-ZZZ"})").status, 403);
  const Reply again = send("POST", "/api/resume", R"({"name":"Bob","number":"2","resumeCode":")" + code + "\"}");
  ASSERT_EQ(again.status, 200);
  EXPECT_EQ(get("/api/state", cookieLine(in)).status, 401) << "the old session ends";
  EXPECT_EQ(get("/api/state", cookieLine(again)).status, 200);
  EXPECT_EQ(send("POST", "/api/signin", R"({"rosterId":7})").status, 404);
}

struct HostileCase {
  const char* what;
  std::string raw;  // the request after "METHOD "
  int status;
};

class HostileRequestTest : public ServerTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileRequestTest, GetsAClearRefusalAndWritesNothing) {
  const Reply r = rawExchange(server_->port(), GetParam().raw);
  EXPECT_EQ(r.status, GetParam().status) << GetParam().what << ": " << r.body;
  if (r.status >= 400 && r.status != 404) {
    EXPECT_TRUE(json::parse(r.body, nullptr, false).contains("error")) << GetParam().what;
  }
  EXPECT_TRUE(room_->answerFiles().empty()) << GetParam().what;
}

std::string req(const std::string& line, const std::string& headers = {}, const std::string& body = {}) {
  return line + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + headers +
         (body.empty() ? "" : "Content-Length: " + std::to_string(body.size()) + "\r\n") + "\r\n" + body;
}

const std::string kJson = "Content-Type: application/json\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileRequestTest,
    ::testing::Values(
        HostileCase{"no session", req("GET /api/state"), 401},
        HostileCase{"forged session", req("GET /api/state", "Cookie: qzt_session=" + std::string(64, 'a') + "\r\n"), 401},
        HostileCase{"short session", req("GET /api/exam", "Cookie: qzt_session=abc\r\n"), 401},
        HostileCase{"form post", req("POST /api/signin", "Content-Type: application/x-www-form-urlencoded\r\n", "name=a&number=1"), 415},
        HostileCase{"not JSON", req("POST /api/signin", kJson, "{name"), 400},
        HostileCase{"wrong types", req("POST /api/signin", kJson, R"({"name":1,"number":[]})"), 400},
        HostileCase{"empty name", req("POST /api/signin", kJson, R"({"name":" ","number":"1"})"), 400},
        HostileCase{"control in name", req("POST /api/signin", kJson, "{\"name\":\"a\\u0001\",\"number\":\"1\"}"), 400},
        HostileCase{"huge body", req("POST /api/signin", kJson, std::string(100 * 1024, ' ')), 413},
        HostileCase{"unknown method", req("DELETE /api/state"), 405},
        HostileCase{"dot dot", req("GET /paper/../paper.qzt"), 400},
        HostileCase{"encoded dot dot", req("GET /paper/%2e%2e/paper.qzt"), 400},
        HostileCase{"encoded slash", req("GET /paper/sub%2fa.css"), 400},
        HostileCase{"encoded backslash", req("GET /paper/sub%5ca.css"), 400},
        HostileCase{"absolute", req("GET /paper//etc/passwd"), 400},
        HostileCase{"folder listing", req("GET /paper/"), 400},
        HostileCase{"a folder", req("GET /paper/sub"), 404},
        HostileCase{"bad escape", req("GET /paper/%zz"), 400},
        HostileCase{"symlink out", req("GET /paper/out/passwd"), 404},
        HostileCase{"notes without session", req("GET /notes/x.html"), 401},
        HostileCase{"teacher without token", req("GET /api/teacher/room"), 401},
        HostileCase{"teacher wrong bearer", req("GET /api/teacher/room", "Authorization: Bearer " + std::string(64, '0') + "\r\n"), 401},
        HostileCase{"teacher wrong link", req("GET /teacher?token=00"), 403},
        HostileCase{"unknown api", req("GET /api/nothing", "Cookie: qzt_session=" + std::string(64, 'a') + "\r\n"), 401}),
    [](const ::testing::TestParamInfo<HostileCase>& param) {
      std::string name = param.param.what;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST_F(ServerTest, PageFilesCarryTheSandbox) {
  std::error_code ec;
  std::filesystem::create_directory_symlink("/etc", dir_ / "work" / "page" / "out", ec);
  const Reply page = get("/paper/index.html");
  ASSERT_EQ(page.status, 200);
  EXPECT_EQ(page.body, "<p>paper</p>");
  EXPECT_NE(page.headers.at("content-security-policy").find("sandbox"), std::string::npos);
  EXPECT_EQ(get("/paper/sub/a.css").status, 200);
  EXPECT_EQ(get("/paper/out/passwd").status, 404) << "a link out of the folder is not followed";
}

TEST_F(ServerTest, TeacherRunsTheRoom) {
  const Reply link = get(std::string("/teacher?token=") + kTeacher);
  ASSERT_EQ(link.status, 303);
  EXPECT_EQ(link.headers.at("location"), "/teacher");
  const std::string teacher = cookieLine(link);
  const std::string ann = signIn("Ann", "1");
  ASSERT_EQ(get("/api/exam", ann).status, 200);

  const json room = json::parse(get("/api/teacher/room", teacher).body);
  ASSERT_EQ(room["candidates"].size(), 1u);
  EXPECT_EQ(room["candidates"][0]["status"], "answering");
  const int id = room["candidates"][0]["id"];

  EXPECT_EQ(send("POST", "/api/teacher/extend", R"({"candidate":null,"minutes":0})", teacher).status, 400);
  EXPECT_EQ(send("POST", "/api/teacher/extend", R"({"candidate":99,"minutes":5})", teacher).status, 404);
  ASSERT_EQ(send("POST", "/api/teacher/extend", "{\"candidate\":" + std::to_string(id) + ",\"minutes\":5}", teacher).status, 200);
  EXPECT_EQ(json::parse(get("/api/state", ann).body)["remainingSeconds"], 900);

  const Reply letIn = send("POST", "/api/teacher/letin", "{\"candidate\":" + std::to_string(id) + "}", teacher);
  ASSERT_EQ(letIn.status, 200);
  EXPECT_EQ(get("/api/state", ann).status, 401) << "let in ends the old sessions";
  const std::string code = json::parse(letIn.body)["resumeCode"];
  const std::string back = cookieLine(send("POST", "/api/resume", R"({"name":"Ann","number":"1","resumeCode":")" + code + "\"}"));

  ASSERT_EQ(send("POST", "/api/teacher/end", "", teacher).status, 200);
  EXPECT_EQ(json::parse(get("/api/state", back).body)["status"], "handedIn");
  EXPECT_FALSE(json::parse(get("/api/info").body)["open"]);
  EXPECT_EQ(get("/api/teacher/report", teacher).body, "{\"files\":1}");
  const Reply csv = get("/api/teacher/report.csv", teacher);
  EXPECT_EQ(csv.status, 200);
  EXPECT_NE(csv.headers.at("content-disposition").find("attachment"), std::string::npos);
  const Reply zip = get("/api/teacher/answers.zip", "Authorization: Bearer " + std::string(kTeacher) + "\r\n");
  ASSERT_EQ(zip.status, 200);
  EXPECT_EQ(zip.body.substr(0, 2), "PK");
  EXPECT_NE(zip.body.find("1-Ann.da"), std::string::npos);
}

TEST_F(ServerTest, TextPagesGoOutAsEscapedHtml) {
  writer::PaperSpec spec = classroomPaper();
  spec.page = {writer::GroupEntry::file("page.txt", gbk("<b>中文</b>"))};
  server_->stop();
  startWith(spec);
  const std::string ann = signIn("Ann", "1");
  const json page = json::parse(get("/api/exam", ann).body)["page"];
  EXPECT_EQ(page["kind"], "text");
  const Reply r = get(page["src"].get<std::string>());
  ASSERT_EQ(r.status, 200);
  EXPECT_NE(r.body.find("&lt;b&gt;中文&lt;/b&gt;"), std::string::npos) << r.body;
  EXPECT_NE(r.headers.at("content-security-policy").find("sandbox"), std::string::npos);
}

// Connections that never finish their request do not keep others out.
TEST_F(ServerTest, IdleSlowConnectionsDoNotStarveOthers) {
  std::vector<int> idle;
  for (int i = 0; i < 100; ++i) {
    const int fd = connectLoopback(server_->port());
    ASSERT_GE(fd, 0);
    (void)!::send(fd, "GET /api/info HTTP/1.1\r\nHo", 26, MSG_NOSIGNAL);
    idle.push_back(fd);
  }
  EXPECT_EQ(get("/api/info").status, 200);
  for (int fd : idle) close(fd);
}

}  // namespace
}  // namespace qzt::serve::testing
