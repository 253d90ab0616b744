#include "side/comment_step.h"

#include "paper/opening.h"
#include "paper/unpack.h"
#include "side/comments.h"

namespace qzt {

Result<std::optional<ByteString>> commentsText(const std::filesystem::path& paper,
                                               const PaperHeader& header,
                                               const std::filesystem::path& workFolder) {
  if (header.commentsLen() <= 0) return std::optional<ByteString>{};
  const std::filesystem::path file = workFolder / kCommentsScratchFile;
  const Status unpacked = unpackPacked(paper, file, header.commentsLen(), header.commentsPos());
  // Read and deleted in one go: a failed unpack may have left part of it.
  std::optional<ByteString> text = takeFile(file);
  if (!unpacked) return unpacked.error();
  return text;
}

Result<std::optional<std::vector<ByteString>>> commentFor(const std::filesystem::path& paper,
                                                          const PaperHeader& header,
                                                          const std::filesystem::path& workFolder,
                                                          std::optional<double> selection) {
  using Lines = std::optional<std::vector<ByteString>>;
  if (!selection) return Lines{};
  auto text = commentsText(paper, header, workFolder);
  if (!text.ok()) return text.error();
  if (!text.value()) return Lines{};
  return chooseComment(**text, *selection);
}

}  // namespace qzt
