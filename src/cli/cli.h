// The qzt command: parse arguments, call the core, print.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qzt::cli {

// Exit statuses.
inline constexpr int kDone = 0;
inline constexpr int kUnreadable = 1;
inline constexpr int kUsage = 2;
// 3, 4, 5: refused by the header tests with that state code.
inline constexpr int kUnpackFailed = 6;
inline constexpr int kAnswersDoNotFit = 7;
inline constexpr int kWrongPassword = 8;

// Runs `qzt ARGS...` (arguments after the program name).
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qzt::cli
