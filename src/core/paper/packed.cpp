#include "paper/packed.h"

#include <algorithm>
#include <array>
#include <fstream>

#include "paper/format.h"
#include "paper/inflate.h"

namespace qzt {
namespace {

namespace fs = std::filesystem;

bool markerAt(PaperFile& in, std::int64_t pos) {
  std::array<unsigned char, format::kBlockMarker.size()> head{};
  return in.read(pos, head.data(), head.size()) && head == format::kBlockMarker;
}

}  // namespace

Result<PackedOutcome> unpackBlock(PaperFile& in, std::int64_t pos, std::int64_t size,
                                  const fs::path& out, WriteMode mode, int step) {
  if (size < format::kUnpackedLengthField) return Error::corrupt("block too small", step);
  if (!in.contains(pos, size)) return Error::io("block runs past the end of the paper", step);
  const std::int64_t streamLen = size - format::kUnpackedLengthField;
  const auto declared = in.int32At(pos);
  if (!declared) return Error::io("cannot read a block's length", step);
  if (*declared < 0 || *declared > maxUnpackedLength(streamLen)) {
    return Error::unsafe("block claims an impossible unpacked length", step);
  }

  std::error_code ec;
  if (out.has_parent_path()) fs::create_directories(out.parent_path(), ec);
  if (ec) return Error::io("cannot create the folder of " + out.string(), step);
  const auto openMode = mode == WriteMode::Append ? std::ios::app : std::ios::trunc;
  std::ofstream file(out, std::ios::binary | openMode);
  if (!file) return PackedOutcome::Busy;
  Status st = inflateTo(in, pos + format::kUnpackedLengthField, streamLen, *declared, file, step);
  file.close();
  if (st.ok() && file.fail()) st = Error::io("cannot write " + out.string(), step);
  if (!st.ok()) {
    fs::remove(out, ec);  // never a half-inflated file
    return st.error();
  }
  return PackedOutcome::Written;
}

Result<PackedOutcome> unpackPackedAt(PaperFile& in, const fs::path& out, std::int32_t size,
                                     std::int64_t pos, int step) {
  if (size == 0) return PackedOutcome::Untouched;
  if (size < 0) return Error::corrupt("negative packed size", step);
  std::array<unsigned char, format::kBlockMarker.size()> head{};
  if (!in.read(pos, head.data(), head.size())) return Error::io("packed data runs past the end", step);
  std::error_code ec;
  fs::remove(out, ec);  // a target that stays is reported when it cannot be opened
  if (head != format::kBlockMarker) return unpackBlock(in, pos, size, out, WriteMode::Replace, step);

  constexpr std::int64_t kBlockStart = format::kBlockMarker.size() + format::kBlockSizeField;
  for (std::int64_t at = pos;;) {
    const auto blockSize = in.int32At(at + format::kBlockMarker.size());
    if (!blockSize) {
      fs::remove(out, ec);
      return Error::io("block size runs past the end", step);
    }
    const WriteMode mode = at == pos ? WriteMode::Replace : WriteMode::Append;
    auto block = unpackBlock(in, at + kBlockStart, *blockSize, out, mode, step);
    if (!block.ok() || *block == PackedOutcome::Busy) return block;
    at += kBlockStart + *blockSize;
    if (at >= in.size()) break;
    if (!in.contains(at, format::kBlockMarker.size())) {
      fs::remove(out, ec);
      return Error::io("packed data ends inside a block marker", step);
    }
    if (!markerAt(in, at)) break;
  }
  return PackedOutcome::Written;
}

}  // namespace qzt
