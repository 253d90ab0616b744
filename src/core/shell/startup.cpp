#include "shell/startup.h"

#include <system_error>

#include "shell/attached_slot.h"
#include "shell/command_line.h"

namespace fs = std::filesystem;

namespace qzt {

Result<StartupPaper> startupPaper(const fs::path& programFile, const std::vector<std::string>& args) {
  const auto offset = attachedPaperOffset(programFile);
  if (!offset) return offset.error();
  if (*offset) return StartupPaper{programFile, **offset, true};

  const std::string named = commandLinePaper(args);
  if (named.empty()) return StartupPaper{};
  const fs::path paper(named);
  std::error_code ec;
  if (!fs::is_regular_file(paper, ec)) return StartupPaper{};
  return StartupPaper{paper, 0, false};
}

}  // namespace qzt
