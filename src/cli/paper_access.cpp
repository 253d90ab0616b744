#include <fstream>
#include <iterator>

#include "cli.h"
#include "commands.h"
#include "sheet/exam_session.h"
#include "util/gbk.h"

namespace qzt::cli {

std::filesystem::path pathArg(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string printable(const std::filesystem::path& path) {
  const std::u8string u = path.u8string();
  return std::string(u.begin(), u.end());
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in || !std::filesystem::is_regular_file(path)) return std::nullopt;
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) return std::nullopt;
  return bytes;
}

int readTestedHeader(const PaperArgs& paper, PaperHeader& header, std::ostream& err) {
  auto read = readHeader(pathArg(paper.paper), paper.offset);
  if (!read.ok()) {
    err << "qzt: " << paper.paper << ": " << read.error().message << '\n';
    return kUnreadable;
  }
  if (const int state = testHeader(read.value()); state != 0) {
    err << ExamSession::messageForState(state) << '\n';
    return state;
  }
  header = read.value();
  return kDone;
}

int checkPassword(const PasswordBlock& block, const std::optional<std::string>& typed,
                  const char* option, int state, std::ostream& err) {
  if (!hasPassword(block)) return kDone;
  if (!typed) {
    err << "qzt: this paper asks for a password (" << option << ")\n";
    return kWrongPassword;
  }
  // Text that is not UTF-8 cannot be what the reader's edit would hold.
  auto gbk = utf8ToGbk(*typed);
  if (gbk.ok() && passwordMatches(block, gbk.value())) return kDone;
  err << ExamSession::messageForState(state) << '\n';
  return kWrongPassword;
}

}  // namespace qzt::cli
