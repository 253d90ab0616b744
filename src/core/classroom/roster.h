// The class list a teacher brings: a CSV file with a header line naming
// its columns (name, number; Chinese 姓名, 学号/考号 too), in UTF-8 (with
// or without a byte-order mark) or GBK.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "util/result.h"

namespace qzt::classroom {

struct RosterEntry {
  std::string name;    // UTF-8
  std::string number;  // UTF-8
};

// The people of the list in file order; blank lines are skipped. Refused
// without a header naming both columns, or with a row missing either.
Result<std::vector<RosterEntry>> parseRoster(std::string_view bytes);

}  // namespace qzt::classroom
