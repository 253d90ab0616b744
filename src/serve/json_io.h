// JSON in and out of the API: request bodies read strictly (a wrong type is
// bad input, never a crash), candidate state and results written as API.md
// shows them.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "classroom/classroom.h"
#include "http_types.h"
#include "paper/opening.h"

namespace qzt::serve {

using nlohmann::json;

Response jsonResponse(int status, const json& body);
Response errorResponse(int status, const std::string& message);
Response refusalResponse(const classroom::Refusal& refusal);

// The body as a JSON object, or none (not JSON, not an object).
std::optional<json> parseObject(const std::string& body);
// A string member, or none when missing or not a string.
std::optional<std::string> stringField(const json& j, const char* name);
// An integer member within [low, high], or none.
std::optional<std::int64_t> intField(const json& j, const char* name, std::int64_t low, std::int64_t high);

// The "answers" array of PUT /api/answers, or none when malformed.
std::optional<std::vector<classroom::RowEntry>> parseEntries(const json& answers);

json answersJson(const std::vector<classroom::RowEntry>& entries);
json resultsJson(const std::optional<classroom::Results>& results, const std::string& notesSrc);
const char* warningName(TimeWarning w);
const char* statusName(classroom::Status s);
json stateJson(const classroom::CandidateState& s, const std::string& notesSrc);
// The paper's shape for GET /api/exam: never its key.
json examJson(const LoadedPaper& paper, const json& page);

}  // namespace qzt::serve
