// The subcommands of qzt and what they share: reading and testing the
// header, the passwords, printing. Each returns the exit status.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "paper/header.h"
#include "paper/opening.h"
#include "paper/password.h"
#include "report/statistics.h"
#include "report/class_report.h"

namespace qzt::cli {

struct PaperArgs {
  std::string paper;        // UTF-8 path
  std::int64_t offset = 0;
};

struct PasswordArgs {
  std::optional<std::string> open;   // UTF-8, as typed
  std::optional<std::string> grade;
};

struct InfoArgs {
  PaperArgs paper;
  bool json = false;
};

struct ExtractArgs {
  PaperArgs paper;
  std::string dir;
  std::string group = "page";
  PasswordArgs passwords;
};

struct PackArgs {
  std::string manifest;
  std::string out;
};

struct GradeArgs {
  PaperArgs paper;
  std::string answers;
  PasswordArgs passwords;
  bool json = false;
};

struct ReportArgs {
  PaperArgs paper;
  std::vector<std::string> answers;  // files or folders
  PasswordArgs passwords;
  bool json = false;
  std::optional<std::string> csv;
  std::optional<std::string> html;
  report::RateCutoffs cutoffs;
};

struct ServeArgs {
  PaperArgs paper;
  std::string answers;                 // the answer folder
  std::string listen = "0.0.0.0:8080";
  PasswordArgs passwords;
  std::optional<std::string> roster;   // CSV file
  std::string results = "now";
};

struct AttachArgs {
  std::string reader;
  std::string paper;
  std::string out;
};

int infoCommand(const InfoArgs& args, std::ostream& out, std::ostream& err);
int extractCommand(const ExtractArgs& args, std::ostream& out, std::ostream& err);
int packCommand(const PackArgs& args, std::ostream& out, std::ostream& err);
int gradeCommand(const GradeArgs& args, std::ostream& out, std::ostream& err);
int reportCommand(const ReportArgs& args, std::ostream& out, std::ostream& err);
int attachCommand(const AttachArgs& args, std::ostream& out, std::ostream& err);
// Runs until SIGINT or SIGTERM.
int serveCommand(const ServeArgs& args, std::ostream& out, std::ostream& err);

// ---- Shared ------------------------------------------------------------------

// The class report as `qzt report --json` prints it.
std::string classReportJson(const report::ClassReport& report);

// A path given on the command line (UTF-8).
std::filesystem::path pathArg(const std::string& utf8);

// Reads the header and applies the header tests. Returns kDone with
// `header` filled, or the exit status after telling why on `err`.
int readTestedHeader(const PaperArgs& paper, PaperHeader& header, std::ostream& err);

// The paper as grading needs it: header tests, opening password, header
// and question table. Returns kDone with `paper` filled, or the exit status
// after telling why on `err`.
int readPaperToGrade(const PaperArgs& args, const PasswordArgs& passwords, LoadedPaper& paper,
                     std::ostream& err);

// The grading password of a loaded paper, where it has one, as the hand-in
// asks for it.
int checkGradePassword(const LoadedPaper& paper, const PasswordArgs& passwords, std::ostream& err);

// Why the comments could not be unpacked: the error box text, or the
// message of a scratch folder that could not be made.
void tellCommentsFailure(const Error& failure, std::ostream& err);

// kDone when the block asks for no password or `typed` (UTF-8, compared
// as GBK) matches it; otherwise kWrongPassword after telling why. `state`
// is the state code whose message a wrong password shows (1 or 2).
int checkPassword(const PasswordBlock& block, const std::optional<std::string>& typed,
                  const char* option, int state, std::ostream& err);

}  // namespace qzt::cli
