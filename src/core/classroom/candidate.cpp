#include "classroom/candidate.h"

#include <nlohmann/json.hpp>

namespace qzt::classroom {
namespace {

const char* statusName(Status s) {
  switch (s) {
    case Status::SignedIn: return "signedIn";
    case Status::Answering: return "answering";
    case Status::HandedIn: return "handedIn";
  }
  return "signedIn";
}

}  // namespace

std::string stateFileBytes(const Candidate& c) {
  nlohmann::ordered_json j;
  j["id"] = c.id;
  j["name"] = c.name;
  j["number"] = c.number;
  j["stem"] = c.stem;
  j["token"] = c.tokenHash;
  j["resume"] = c.resumeHash;
  j["wrongResumes"] = c.wrongResumes;
  j["status"] = statusName(c.status);
  j["version"] = c.version;
  j["startedAt"] = c.startedAt ? nlohmann::ordered_json(*c.startedAt) : nlohmann::ordered_json(nullptr);
  j["extraSeconds"] = c.extraSeconds;
  return j.dump() + "\n";
}

Result<Candidate> parseStateFile(const std::string& bytes) {
  const auto j = nlohmann::json::parse(bytes, nullptr, false);
  if (j.is_discarded() || !j.is_object()) return Error::corrupt("not a candidate state file");
  try {
    Candidate c;
    c.id = j.at("id").get<int>();
    c.name = j.at("name").get<std::string>();
    c.number = j.at("number").get<std::string>();
    c.stem = j.at("stem").get<std::string>();
    c.tokenHash = j.at("token").get<std::string>();
    c.resumeHash = j.at("resume").get<std::string>();
    c.wrongResumes = j.value("wrongResumes", 0);
    const std::string status = j.at("status").get<std::string>();
    c.status = status == "handedIn" ? Status::HandedIn
               : status == "answering" ? Status::Answering
                                       : Status::SignedIn;
    c.version = j.at("version").get<std::int64_t>();
    if (!j.at("startedAt").is_null()) c.startedAt = j.at("startedAt").get<std::int64_t>();
    c.extraSeconds = j.at("extraSeconds").get<std::int64_t>();
    if (c.id <= 0 || c.stem.empty() || c.stem.find_first_of("/\\") != std::string::npos) {
      return Error::corrupt("not a candidate state file");
    }
    return c;
  } catch (const nlohmann::json::exception&) {
    return Error::corrupt("not a candidate state file");
  }
}

}  // namespace qzt::classroom
