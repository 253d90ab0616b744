#include <filesystem>

#include "api.h"
#include "json_io.h"
#include "report/csv_writer.h"
#include "report/html_writer.h"
#include "util/file_bytes.h"
#include "util/gbk.h"
#include "zip_writer.h"

namespace qzt::serve {
namespace {

constexpr std::int64_t kStaleMs = 30'000;

json roomCandidate(const classroom::CandidateState& c, std::int64_t nowMs) {
  const std::int64_t unseenMs = std::max<std::int64_t>(0, nowMs - c.lastSeenMs);
  return {{"id", c.id},
          {"name", c.name},
          {"number", c.number},
          {"status", statusName(c.status)},
          {"answered", c.answered},
          {"remainingSeconds", c.remainingSeconds},
          {"score", c.score ? json(*c.score) : json(nullptr)},
          {"rate", c.rate ? json(*c.rate) : json(nullptr)},
          {"lastSeenSeconds", unseenMs / 1000},
          {"stale", c.status == classroom::Status::Answering && unseenMs > kStaleMs}};
}

// The live class report over the handed-in answer files: the one place
// that calls the report API.
report::ClassReport classReport(const LoadedPaper& paper, const classroom::Classroom& room) {
  return report::reportClass(paper, room.handedInFiles());
}

Response download(std::string body, const char* type, const char* fileName) {
  Response r;
  r.contentType = type;
  r.body = std::move(body);
  r.headers.emplace_back("Content-Disposition", std::string("attachment; filename=\"") + fileName + "\"");
  return r;
}

}  // namespace

Response Api::teacher(const Request& request, const std::string& path) {
  const std::int64_t t = now();
  if (request.method == "GET" && path == "room") {
    json candidates = json::array();
    for (const auto& c : s_.room->room(t)) candidates.push_back(roomCandidate(c, t));
    return jsonResponse(200, {{"open", s_.room->open()},
                              {"gradePasswordNeeded", s_.room->gradePasswordNeeded()},
                              {"questionCount", s_.paper->table.count()},
                              {"candidates", std::move(candidates)}});
  }
  if (request.method == "GET") return downloads(path);
  if (request.method == "POST") return teacherAction(request, path);
  return errorResponse(404, "not found");
}

Response Api::downloads(const std::string& path) {
  if (path == "report") {
    Response r;
    r.body = s_.reportJson(classReport(*s_.paper, *s_.room));
    return r;
  }
  if (path == "report.html") {
    return download(report::classHtml(classReport(*s_.paper, *s_.room)), "text/html; charset=utf-8",
                    "report.html");
  }
  if (path == "report.csv") {
    return download(report::classCsv(classReport(*s_.paper, *s_.room)), "text/csv; charset=utf-8",
                    "report.csv");
  }
  if (path == "answers.zip") {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& file : s_.room->answerFiles()) {
      auto bytes = readFileBytes(file, 1u << 26);
      if (bytes.ok()) files.emplace_back(pathToUtf8(file.filename()), std::move(bytes).value());
    }
    return download(zipStored(files), "application/zip", "answers.zip");
  }
  return errorResponse(404, "not found");
}

Response Api::teacherAction(const Request& request, const std::string& path) {
  const std::int64_t t = now();
  const auto body = parseObject(request.body.empty() ? "{}" : request.body);
  if (!body) return errorResponse(400, "the body is not a JSON object");
  if (path == "extend") {
    const auto minutes = intField(*body, "minutes", 1, 600);
    if (!minutes) return errorResponse(400, "minutes must be a whole number from 1 to 600");
    std::optional<int> who;
    if (body->contains("candidate") && !body->at("candidate").is_null()) {
      const auto id = intField(*body, "candidate", 1, 1'000'000'000);
      if (!id) return errorResponse(400, "candidate must be an id or null");
      who = static_cast<int>(*id);
    }
    const auto extended = s_.room->extend(who, static_cast<int>(*minutes), t);
    if (!extended.ok()) return refusalResponse(extended.refusal());
    return jsonResponse(200, json::object());
  }
  if (path == "end") {
    s_.room->end(t);
    return jsonResponse(200, json::object());
  }
  if (path == "letin") {
    const auto id = intField(*body, "candidate", 1, 1'000'000'000);
    if (!id) return errorResponse(400, "candidate must be an id");
    const auto code = s_.room->letIn(static_cast<int>(*id));
    if (!code.ok()) return refusalResponse(code.refusal());
    return jsonResponse(200, {{"resumeCode", code.value()}});
  }
  if (path == "grade-password") {
    const auto password = stringField(*body, "password");
    if (!password) return errorResponse(400, "password must be a string");
    if (!s_.room->giveGradePassword(*password)) return errorResponse(403, "wrong grading password");
    s_.site->unpackNotes();
    return jsonResponse(200, json::object());
  }
  return errorResponse(404, "not found");
}

}  // namespace qzt::serve
