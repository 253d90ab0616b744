#include "json_io.h"

#include "paper/format.h"
#include "sheet/grid_layout.h"
#include "util/gbk.h"

namespace qzt::serve {

using classroom::Denial;

Response jsonResponse(int status, const json& body) {
  Response r;
  r.status = status;
  r.body = body.dump(-1, ' ', false, json::error_handler_t::replace);
  return r;
}

Response errorResponse(int status, const std::string& message) {
  return jsonResponse(status, {{"error", message}});
}

Response refusalResponse(const classroom::Refusal& refusal) {
  switch (refusal.why) {
    case Denial::BadInput: return errorResponse(400, refusal.message);
    case Denial::NoSession: return errorResponse(401, refusal.message);
    case Denial::Forbidden: return errorResponse(403, refusal.message);
    case Denial::NotFound: return errorResponse(404, refusal.message);
    case Denial::Conflict: return errorResponse(409, refusal.message);
    case Denial::Storage: return errorResponse(500, refusal.message);
  }
  return errorResponse(500, refusal.message);
}

std::optional<json> parseObject(const std::string& body) {
  json j = json::parse(body, nullptr, false);
  if (j.is_discarded() || !j.is_object()) return std::nullopt;
  return j;
}

std::optional<std::string> stringField(const json& j, const char* name) {
  const auto found = j.find(name);
  if (found == j.end() || !found->is_string()) return std::nullopt;
  return found->get<std::string>();
}

std::optional<std::int64_t> intField(const json& j, const char* name, std::int64_t low, std::int64_t high) {
  const auto found = j.find(name);
  if (found == j.end() || !found->is_number_integer()) return std::nullopt;
  const auto v = found->get<std::int64_t>();
  if (v < low || v > high) return std::nullopt;
  return v;
}

std::optional<std::vector<classroom::RowEntry>> parseEntries(const json& answers) {
  // More rows than a paper can hold is not a sheet.
  if (!answers.is_array() || answers.size() > 1002) return std::nullopt;
  std::vector<classroom::RowEntry> out;
  for (const json& a : answers) {
    if (!a.is_object()) return std::nullopt;
    const auto row = intField(a, "row", 1, 1002);
    if (!row) return std::nullopt;
    classroom::RowEntry e;
    e.row = static_cast<int>(*row);
    if (a.contains("letters")) {
      e.letters = stringField(a, "letters");
      if (!e.letters) return std::nullopt;
    }
    if (a.contains("text")) {
      e.text = stringField(a, "text");
      if (!e.text) return std::nullopt;
    }
    out.push_back(std::move(e));
  }
  return out;
}

json answersJson(const std::vector<classroom::RowEntry>& entries) {
  json out = json::array();
  for (const auto& e : entries) {
    if (e.letters) out.push_back({{"row", e.row}, {"letters", *e.letters}});
    if (e.text) out.push_back({{"row", e.row}, {"text", *e.text}});
  }
  return out;
}

static json nullable(const std::optional<double>& x) { return x ? json(*x) : json(nullptr); }

json resultsJson(const std::optional<classroom::Results>& results, const std::string& notesSrc) {
  if (!results) return nullptr;
  if (results->pending) return {{"pending", true}};
  json rows = json::array();
  for (const auto& r : results->rows) {
    rows.push_back({{"row", r.row}, {"label", r.label}, {"result", r.right ? "√" : "Χ"}, {"correct", r.correct}});
  }
  return {{"report", results->report},
          {"total", results->total},
          {"score", results->score},
          {"rate", nullable(results->rate)},
          {"rows", std::move(rows)},
          {"comment", results->comment ? json(*results->comment) : json(nullptr)},
          {"notes", results->notes && !notesSrc.empty() ? json(notesSrc) : json(nullptr)}};
}

const char* warningName(TimeWarning w) {
  switch (w) {
    case TimeWarning::FiveMinutes: return "five";
    case TimeWarning::OneMinute: return "one";
    case TimeWarning::None: break;
  }
  return "none";
}

const char* statusName(classroom::Status s) {
  switch (s) {
    case classroom::Status::SignedIn: return "signedIn";
    case classroom::Status::Answering: return "answering";
    case classroom::Status::HandedIn: return "handedIn";
  }
  return "signedIn";
}

json stateJson(const classroom::CandidateState& s, const std::string& notesSrc) {
  // Before the first view the candidate is still "answering" to the page.
  const bool handedIn = s.status == classroom::Status::HandedIn;
  return {{"status", handedIn ? "handedIn" : "answering"},
          {"remainingSeconds", s.remainingSeconds},
          {"warning", warningName(s.warning)},
          {"version", s.version},
          {"answers", answersJson(s.answers)},
          {"results", resultsJson(s.results, notesSrc)}};
}

static const char* rowKind(const QuestionRecord& q) {
  switch (q.kind()) {
    case format::kKindSingle: return "single";
    case format::kKindText: return "text";
    default: return q.graded() ? "multiple" : "heading";
  }
}

json examJson(const LoadedPaper& paper, const json& page) {
  const grid::Layout layout = grid::paperLayout(paper.table);
  json rows = json::array();
  for (int row = 1; row <= paper.table.count(); ++row) {
    const QuestionRecord& q = paper.table.question(row);
    json r = {{"row", row},
              {"kind", rowKind(q)},
              {"label", gbkToUtf8(layout.rowLabels[static_cast<std::size_t>(row)])},
              {"options", q.graded() && q.kind() != format::kKindText
                              ? std::min<int>(q.optionCount(), layout.letterColumns)
                              : 0}};
    if (q.kind() == format::kKindHeading) r["text"] = gbkToUtf8(q.answer());
    rows.push_back(std::move(r));
  }
  return {{"title", gbkToUtf8(paper.header.title())},
          {"status", gbkToUtf8(paper.header.statusText())},
          {"timeLimitMinutes", paper.header.timeLimit()},
          {"letterColumns", layout.letterColumns},
          {"headers", layout.headers},
          {"rows", std::move(rows)},
          {"page", page}};
}

}  // namespace qzt::serve
