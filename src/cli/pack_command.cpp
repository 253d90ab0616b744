#include "cli.h"
#include "commands.h"
#include "author/manifest.h"
#include "author/paper_writer.h"

namespace qzt::cli {

int packCommand(const PackArgs& args, std::ostream& /*out*/, std::ostream& err) {
  auto manifest = writer::loadManifest(pathArg(args.manifest));
  if (!manifest.ok()) {
    err << "qzt: " << manifest.error().message << '\n';
    return manifest.error().kind == ErrorKind::Usage ? kUsage : kUnreadable;
  }
  for (const auto& warning : manifest->warnings) err << "qzt: warning: " << warning << '\n';
  if (const Status s = writer::writePaper(pathArg(args.out), manifest->spec); !s.ok()) {
    err << "qzt: " << s.error().message << '\n';
    return kUnreadable;
  }
  return kDone;
}

}  // namespace qzt::cli
