#include "cli.h"
#include "commands.h"
#include "shell/attached_slot.h"

namespace qzt::cli {

int attachCommand(const AttachArgs& args, std::ostream& out, std::ostream& err) {
  PaperHeader paper;
  if (int s = readTestedHeader({args.paper, 0}, paper, err); s != kDone) return s;
  const std::filesystem::path target = pathArg(args.out);
  Status s = attachPaper(pathArg(args.reader), pathArg(args.paper), target);
  if (!s.ok()) {
    err << "qzt: " << s.error().message << '\n';
    return kUnreadable;
  }
  if (auto offset = attachedPaperOffset(target); offset.ok() && offset.value()) {
    out << "attached at byte " << *offset.value() << '\n';
  }
  return kDone;
}

}  // namespace qzt::cli
