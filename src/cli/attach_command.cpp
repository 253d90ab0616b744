#include <fstream>
#include <limits>

#include "cli.h"
#include "commands.h"
#include "paper/format.h"
#include "shell/attached_slot.h"

namespace qzt::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kPositionFields[] = {format::kPageGroupPos, format::kNotesGroupPos, format::kCommentsPos,
                                   format::kQuestionTablePos, format::kSupportGroupPos};

// Positions in a header are absolute in the file that holds the paper: a
// paper moved to `offset` of a host file has every position moved too.
std::optional<PaperHeader::Bytes> rebased(const PaperHeader& header, std::int64_t offset) {
  PaperHeader::Bytes bytes = header.bytes();
  for (int field : kPositionFields) {
    const std::int64_t moved = decodeInt32(bytes.data() + field) + offset;
    if (moved > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    encodeFixed32(bytes.data() + field, static_cast<std::uint32_t>(moved));
  }
  bytes[format::kChecksum] = static_cast<unsigned char>(PaperHeader(bytes).checksum());
  return bytes;
}

Status writeAt(const fs::path& file, std::int64_t offset, const PaperHeader::Bytes& bytes) {
  std::fstream io(file, std::ios::binary | std::ios::in | std::ios::out);
  io.seekp(offset);
  io.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  io.close();
  if (!io) return Error::io("cannot write " + printable(file));
  return Status::success();
}

// The attached copy's header moved to its place in the host, unless the
// copy already counts its positions from the host's start.
Status placeHeader(const fs::path& out, const PaperHeader& original) {
  auto offset = attachedPaperOffset(out);
  if (!offset.ok()) return offset.error();
  if (!offset.value()) return Error::refused(printable(out) + ": the attached paper is not found");
  const std::int64_t at = *offset.value();
  auto attached = readHeader(out, at);
  if (!attached.ok()) return attached.error();
  if (attached->questionTablePos() != original.questionTablePos()) return Status::success();
  const auto bytes = rebased(original, at);
  if (!bytes) return Error::refused(printable(out) + ": the paper lies too far into the file");
  return writeAt(out, at, *bytes);
}

}  // namespace

int attachCommand(const AttachArgs& args, std::ostream& out, std::ostream& err) {
  PaperHeader paper;
  if (int s = readTestedHeader({args.paper, 0}, paper, err); s != kDone) return s;
  const fs::path target = pathArg(args.out);
  Status s = attachPaper(pathArg(args.reader), pathArg(args.paper), target);
  if (s.ok()) s = placeHeader(target, paper);
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
