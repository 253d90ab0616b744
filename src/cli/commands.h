// The subcommands of qzt and what they share: reading and testing the
// header, the passwords, printing. Each returns the exit status.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "paper/header.h"
#include "paper/password.h"

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

struct AttachArgs {
  std::string reader;
  std::string paper;
  std::string out;
};

int infoCommand(const InfoArgs& args, std::ostream& out, std::ostream& err);
int extractCommand(const ExtractArgs& args, std::ostream& out, std::ostream& err);
int packCommand(const PackArgs& args, std::ostream& out, std::ostream& err);
int gradeCommand(const GradeArgs& args, std::ostream& out, std::ostream& err);
int attachCommand(const AttachArgs& args, std::ostream& out, std::ostream& err);

// ---- Shared ------------------------------------------------------------------

// A path given on the command line (UTF-8).
std::filesystem::path pathArg(const std::string& utf8);
// A path for printing (UTF-8).
std::string printable(const std::filesystem::path& path);

// The whole file, or none when it cannot be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

// Reads the header and applies the header tests. Returns kDone with
// `header` filled, or the exit status after telling why on `err`.
int readTestedHeader(const PaperArgs& paper, PaperHeader& header, std::ostream& err);

// kDone when the block asks for no password or `typed` (UTF-8, compared
// as GBK) matches it; otherwise kWrongPassword after telling why. `state`
// is the state code whose message a wrong password shows (1 or 2).
int checkPassword(const PasswordBlock& block, const std::optional<std::string>& typed,
                  const char* option, int state, std::ostream& err);

}  // namespace qzt::cli
