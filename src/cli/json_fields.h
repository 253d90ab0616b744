// JSON pieces that `qzt grade` and `qzt report` print alike.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "paper/format.h"
#include "util/bytes.h"
#include "util/gbk.h"

namespace qzt::cli {

using nlohmann::ordered_json;

inline ordered_json nullable(const std::optional<double>& x) {
  return x ? ordered_json(*x) : ordered_json(nullptr);
}

// The score fields of a graded answer file, alike in both commands.
inline void putScore(ordered_json& j, const std::string& scoreLine, double total, double score,
                     const std::optional<double>& rate) {
  j["report"] = scoreLine;
  j["total"] = total;
  j["score"] = score;
  j["rate"] = nullable(rate);
}

// The chosen comment as a list of lines, or null.
inline ordered_json commentJson(const std::optional<std::vector<ByteString>>& lines) {
  if (!lines) return nullptr;
  ordered_json j = ordered_json::array();
  for (const ByteString& line : *lines) j.push_back(gbkToUtf8(line));
  return j;
}

inline const char* kindName(std::int32_t kind) {
  if (kind == format::kKindSingle) return "single";
  if (kind == format::kKindText) return "text";
  return "multiple";  // every other graded kind enters letters like it
}

inline std::string dumpJson(const ordered_json& j) {
  return j.dump(2, ' ', false, ordered_json::error_handler_t::replace);
}

}  // namespace qzt::cli
