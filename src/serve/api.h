// The classroom's HTTP API (see API.md): each request becomes one call on
// the classroom core and its answer becomes JSON. Nothing here decides a
// rule of the exam.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classroom/classroom.h"
#include "http_types.h"
#include "paper_site.h"
#include "report/class_report.h"

namespace qzt::serve {

struct ApiSetup {
  classroom::Classroom* room = nullptr;
  const LoadedPaper* paper = nullptr;
  PaperSite* site = nullptr;
  std::string teacherToken;  // hex
  // Monotonic milliseconds (tests drive them).
  std::function<std::int64_t()> nowMs;
  // The class report as `qzt report --json` prints it.
  std::function<std::string(const report::ClassReport&)> reportJson;
};

class Api {
 public:
  explicit Api(ApiSetup setup) : s_(std::move(setup)) {}
  Response handle(const Request& request);

 private:
  Response candidate(const Request& request, const std::string& path);
  Response teacher(const Request& request, const std::string& path);
  Response files(const Request& request, const std::string& path);
  Response signIn(const Request& request);
  Response resume(const Request& request);
  Response putAnswers(const Request& request, int id);
  Response teacherAction(const Request& request, const std::string& path);
  Response downloads(const std::string& path);
  bool isTeacher(const Request& request) const;
  std::int64_t now() const { return s_.nowMs(); }

  ApiSetup s_;
};

}  // namespace qzt::serve
