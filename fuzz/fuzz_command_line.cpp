// The command-line paper rule and the catalogue from arbitrary text. The
// input is split at the first NUL: the command text, then the catalogue.
// A catalogue line "exists" by a rule taken from its path, so both the
// kept and the skipped branches run without touching the disk.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "shell/catalogue.h"
#include "shell/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = all.find('\0');
  const std::string_view command = all.substr(0, nul);
  const std::string_view catalogue =
      nul == std::string_view::npos ? std::string_view() : all.substr(nul + 1);

  (void)qzt::commandLinePaper(command);
  std::vector<std::string> args;
  for (std::size_t at = 0; at <= command.size();) {
    const std::size_t blank = command.find(' ', at);
    const std::size_t end = blank == std::string_view::npos ? command.size() : blank;
    args.emplace_back(command.substr(at, end - at));
    at = end + 1;
  }
  (void)qzt::commandLinePaper(args);

  const auto exists = [](const std::filesystem::path& p) {
    return p.native().size() % 3 != 0;
  };
  (void)qzt::readCatalogue("/programs/qzt", catalogue, exists);
  return 0;
}
