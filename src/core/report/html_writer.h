// The class report as one self-contained web page (no scripts, nothing
// fetched): title, summary, score histogram and per-question chart as
// inline SVG, the table of questions with their most common wrong answers
// and the table of files. Chinese headings; UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "report/class_report.h"

namespace qzt::report {

std::string classHtml(const ClassReport& report);

// Text made safe inside an element or a quoted attribute.
std::string htmlEscape(std::string_view text);

}  // namespace qzt::report
