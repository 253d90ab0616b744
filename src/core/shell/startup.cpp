#include "shell/startup.h"

#include <system_error>

#include "shell/attached_slot.h"
#include "shell/command_line.h"

namespace fs = std::filesystem;

namespace qzt {

Result<StartupPaper> startupPaper(const fs::path& programFile, const std::vector<std::string>& args) {
  const auto offset = attachedPaperOffset(programFile);
  if (!offset) return offset.error();
  return startupPaper(programFile, *offset, fs::path(commandLinePaper(args)));
}

StartupPaper startupPaper(const fs::path& programFile, std::optional<std::int64_t> attachedOffset,
                          const fs::path& commandLinePaper) {
  if (attachedOffset) return StartupPaper{programFile, *attachedOffset, true};
  if (commandLinePaper.empty()) return StartupPaper{};
  std::error_code ec;
  if (!fs::is_regular_file(commandLinePaper, ec)) return StartupPaper{};
  return StartupPaper{commandLinePaper, 0, false};
}

}  // namespace qzt
