// The class report as one self-contained web page (nothing fetched; one
// script of our own, allowed by the page's content policy, sorts the
// students table): title, summary, score histogram and per-question chart
// as inline SVG, the sections, the table of questions with their most
// common wrong answers, the option table of the choice rows, the students
// table, the refused files and what each figure means. Chinese headings;
// UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "report/class_report.h"

namespace qzt::report {

std::string classHtml(const ClassReport& report);

// Text made safe inside an element or a quoted attribute.
std::string htmlEscape(std::string_view text);

}  // namespace qzt::report
