// The class as a spreadsheet: one line per graded file with its score,
// total, rate and a 1/0 column per graded row headed by the row's label.
// UTF-8 behind a byte-order mark, so spreadsheet programs set to a Chinese
// locale do not read it as GBK; fields quoted as RFC 4180 asks, lines
// ended by CR LF.
#pragma once

#include <string>
#include <string_view>

#include "report/class_report.h"

namespace qzt::report {

std::string classCsv(const ClassReport& report);

// A field quoted when it holds a comma, a quote, CR or LF; quotes doubled.
// Text starting with =, +, -, @, tab or CR gets a leading ' so no
// spreadsheet takes it for a formula.
std::string csvField(std::string_view text);

}  // namespace qzt::report
