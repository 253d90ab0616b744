#include "api.h"

#include "json_io.h"
#include "util/gbk.h"
#include "util/sha256.h"
#include "web_assets.h"

namespace qzt::serve {
namespace {

constexpr char kSessionCookie[] = "qzt_session";
constexpr char kTeacherCookie[] = "qzt_teacher";

std::string cookieHeader(const char* name, const std::string& value) {
  return std::string(name) + "=" + value + "; HttpOnly; SameSite=Strict; Path=/";
}

bool sendsJson(const Request& request) {
  const std::string* type = request.header("content-type");
  return type != nullptr && type->rfind("application/json", 0) == 0;
}

Response assetResponse(const WebAsset& asset) {
  Response r;
  r.contentType = std::string(asset.contentType);
  r.body = std::string(asset.body);
  r.headers.emplace_back("Content-Security-Policy",
                         "default-src 'self'; img-src 'self' data:; style-src 'self' 'unsafe-inline'; "
                         "frame-src 'self'; frame-ancestors 'none'; form-action 'self'");
  return r;
}

}  // namespace

Response Api::handle(const Request& request) {
  const std::string& path = request.path;
  if (request.bodyTooLarge) return errorResponse(413, "请求太大");
  const bool reads = request.method == "GET" || request.method == "HEAD";
  if (!reads && request.method != "POST" && request.method != "PUT") {
    return errorResponse(405, "method not allowed");
  }
  if (!reads && !sendsJson(request)) return errorResponse(415, "请求须为 JSON");
  if (path.rfind("/api/teacher/", 0) == 0) {
    if (!isTeacher(request)) return errorResponse(401, "teacher token required");
    return teacher(request, path.substr(13));
  }
  if (path.rfind("/api/", 0) == 0) return candidate(request, path.substr(5));
  if (!reads) return errorResponse(405, "method not allowed");
  if (path.rfind("/paper/", 0) == 0 || path.rfind("/notes/", 0) == 0) return files(request, path);
  if (path == "/teacher") {
    const auto token = request.query.find("token");
    if (token != request.query.end()) {
      if (!constantTimeEqual(token->second, s_.teacherToken)) return errorResponse(403, "wrong token");
      Response r = errorResponse(303, "see /teacher");
      r.headers.emplace_back("Location", "/teacher");
      r.headers.emplace_back("Set-Cookie", cookieHeader(kTeacherCookie, s_.teacherToken));
      return r;
    }
  }
  if (const WebAsset* asset = findWebAsset(path)) return assetResponse(*asset);
  return errorResponse(404, "not found");
}

bool Api::isTeacher(const Request& request) const {
  std::string given;
  if (const auto cookie = request.cookies.find(kTeacherCookie); cookie != request.cookies.end()) {
    given = cookie->second;
  } else if (const std::string* auth = request.header("authorization"); auth && auth->rfind("Bearer ", 0) == 0) {
    given = auth->substr(7);
  }
  return !given.empty() && constantTimeEqual(given, s_.teacherToken);
}

Response Api::files(const Request& request, const std::string& path) {
  if (path.rfind("/paper/", 0) == 0) return s_.site->page(path.substr(7));
  // Notes only for a candidate whose results are shown and unlock them.
  const auto cookie = request.cookies.find(kSessionCookie);
  if (cookie == request.cookies.end()) return errorResponse(401, classroom::kNoSession);
  const auto id = s_.room->session(cookie->second, now());
  if (!id.ok()) return refusalResponse(id.refusal());
  const auto state = s_.room->state(id.value(), now());
  if (!state.ok()) return refusalResponse(state.refusal());
  const auto& results = state.value().results;
  if (!results || results->pending || !results->notes) return errorResponse(403, "notes are not open");
  return s_.site->notes(path.substr(7));
}

Response Api::candidate(const Request& request, const std::string& path) {
  const std::int64_t t = now();
  if (request.method == "GET" && path == "info") {
    return jsonResponse(200, {{"title", gbkToUtf8(s_.paper->header.title())},
                              {"status", gbkToUtf8(s_.paper->header.statusText())},
                              {"timeLimitMinutes", s_.paper->header.timeLimit()},
                              {"questionCount", s_.paper->table.count()},
                              {"roster", !s_.room->roster().empty()},
                              {"open", s_.room->open()}});
  }
  if (request.method == "GET" && path == "roster") {
    json people = json::array();
    const auto& roster = s_.room->roster();
    for (std::size_t i = 0; i < roster.size(); ++i) {
      people.push_back({{"id", i}, {"name", roster[i].name}, {"number", roster[i].number}});
    }
    return jsonResponse(200, {{"people", std::move(people)}});
  }
  if (request.method == "POST" && path == "signin") return signIn(request);
  if (request.method == "POST" && path == "resume") return resume(request);

  const auto cookie = request.cookies.find(kSessionCookie);
  if (cookie == request.cookies.end()) return errorResponse(401, classroom::kNoSession);
  const auto id = s_.room->session(cookie->second, t);
  if (!id.ok()) return refusalResponse(id.refusal());
  const std::string notes = s_.site->notesSrc();

  if (request.method == "GET" && path == "exam") {
    const auto viewed = s_.room->viewPaper(id.value(), t);
    if (!viewed.ok()) return refusalResponse(viewed.refusal());
    return jsonResponse(200, examJson(*s_.paper, s_.site->pageJson()));
  }
  if (request.method == "GET" && (path == "state" || path == "results")) {
    const auto state = s_.room->state(id.value(), t);
    if (!state.ok()) return refusalResponse(state.refusal());
    if (path == "results") return jsonResponse(200, resultsJson(state.value().results, notes));
    return jsonResponse(200, stateJson(state.value(), notes));
  }
  if (request.method == "PUT" && path == "answers") return putAnswers(request, id.value());
  if (request.method == "POST" && path == "handin") {
    const auto state = s_.room->handIn(id.value(), t);
    if (!state.ok()) return refusalResponse(state.refusal());
    return jsonResponse(200, {{"status", "handedIn"}, {"results", resultsJson(state.value().results, notes)}});
  }
  return errorResponse(404, "not found");
}

Response Api::signIn(const Request& request) {
  const auto body = parseObject(request.body);
  if (!body) return errorResponse(400, "请求不是 JSON 对象");
  const std::int64_t t = now();
  std::optional<classroom::Outcome<classroom::SignedIn>> in;
  if (body->contains("rosterId")) {
    const auto rosterId = intField(*body, "rosterId", 0, 1'000'000);
    if (!rosterId) return errorResponse(400, "rosterId 无效");
    in.emplace(s_.room->signInFromRoster(static_cast<int>(*rosterId), t));
  } else {
    const auto name = stringField(*body, "name"), number = stringField(*body, "number");
    if (!name || !number) return errorResponse(400, "请填写姓名和考号");
    in.emplace(s_.room->signIn(*name, *number, t));
  }
  if (!in->ok()) return refusalResponse(in->refusal());
  const classroom::SignedIn& who = in->value();
  Response r = jsonResponse(200, {{"candidate", {{"id", who.id}, {"name", who.name}, {"number", who.number}}},
                                  {"resumeCode", who.resumeCode}});
  r.headers.emplace_back("Set-Cookie", cookieHeader(kSessionCookie, who.token));
  return r;
}

Response Api::resume(const Request& request) {
  const auto body = parseObject(request.body);
  if (!body) return errorResponse(400, "请求不是 JSON 对象");
  const auto name = stringField(*body, "name"), number = stringField(*body, "number"),
             code = stringField(*body, "resumeCode");
  if (!name || !number || !code) return errorResponse(400, "请填写姓名、考号和恢复码");
  const auto in = s_.room->resume(*name, *number, *code, now());
  if (!in.ok()) return refusalResponse(in.refusal());
  const classroom::SignedIn& who = in.value();
  Response r = jsonResponse(200, {{"candidate", {{"id", who.id}, {"name", who.name}, {"number", who.number}}},
                                  {"resumeCode", who.resumeCode}});
  r.headers.emplace_back("Set-Cookie", cookieHeader(kSessionCookie, who.token));
  return r;
}

Response Api::putAnswers(const Request& request, int id) {
  const auto body = parseObject(request.body);
  if (!body) return errorResponse(400, "请求不是 JSON 对象");
  const auto version = intField(*body, "version", 1, std::int64_t{1} << 53);
  const auto answers = body->find("answers");
  if (!version || answers == body->end()) return errorResponse(400, "缺少 version 或 answers");
  const auto entries = parseEntries(*answers);
  if (!entries) return errorResponse(400, "answers 格式不对");
  const std::int64_t t = now();
  const auto put = s_.room->putAnswers(id, *version, *entries, t);
  if (!put.ok()) {
    if (put.refusal().why != classroom::Denial::Conflict) return refusalResponse(put.refusal());
    const auto state = s_.room->state(id, t);
    if (!state.ok()) return refusalResponse(state.refusal());
    return jsonResponse(409, {{"error", put.refusal().message},
                              {"version", state.value().version},
                              {"answers", answersJson(state.value().answers)}});
  }
  return jsonResponse(200, {{"version", put.value().version},
                            {"remainingSeconds", put.value().remainingSeconds},
                            {"warning", warningName(put.value().warning)}});
}

}  // namespace qzt::serve
