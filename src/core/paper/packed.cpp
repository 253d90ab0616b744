#include "paper/packed.h"

#include <array>

#include "paper/block_writer.h"
#include "paper/format.h"
#include "paper/inflate.h"

namespace qzt {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kBlockStart = format::kBlockMarker.size() + format::kBlockSizeField;

bool markerAt(PaperFile& in, std::int64_t pos) {
  std::array<unsigned char, format::kBlockMarker.size()> head{};
  return in.read(pos, head.data(), head.size()) && head == format::kBlockMarker;
}

// The block of `size` bytes at `pos`, its length field checked before
// anything is allocated or written.
Result<BlockHead> blockAt(PaperFile& in, std::int64_t pos, std::int64_t size, int step) {
  if (size < format::kUnpackedLengthField) return Error::corrupt("block too small", step);
  if (!in.contains(pos, size)) return Error::io("block runs past the end of the paper", step);
  const std::int64_t streamLen = size - format::kUnpackedLengthField;
  const auto declared = in.int32At(pos);
  if (!declared) return Error::io("cannot read a block's length", step);
  if (*declared < 0 || *declared > maxUnpackedLength(streamLen)) {
    return Error::unsafe("block claims an impossible unpacked length", step);
  }
  return BlockHead{pos + format::kUnpackedLengthField, streamLen, *declared};
}

// The first block is checked before the target is created, as every later
// one is checked before it is written.
Result<PackedOutcome> startWith(BlockWriter& writer, const Result<BlockHead>& first) {
  if (!first.ok()) return first.error();
  auto opened = writer.open();
  if (!opened.ok()) return opened.error();
  if (!*opened) return PackedOutcome::Busy;
  if (Status st = writer.add(*first); !st.ok()) return st.error();
  return PackedOutcome::Written;
}

Result<PackedOutcome> finished(BlockWriter& writer) {
  if (Status st = writer.finish(); !st.ok()) return st.error();
  return PackedOutcome::Written;
}

}  // namespace

Result<PackedOutcome> unpackPackedAt(PaperFile& in, const fs::path& out, std::int32_t size, std::int64_t pos,
                                     int step, LazyWorkerPool& pool, const UnpackLimits& limits) {
  if (size == 0) return PackedOutcome::Untouched;
  if (size < 0) return Error::corrupt("negative packed size", step);
  std::array<unsigned char, format::kBlockMarker.size()> head{};
  if (pos < 0) return Error::io("packed data starts before the file", step);
  // Too short to tell its form: nothing to unpack, and the target stays as
  // it was; a group then fails at its next entry head.
  if (!in.read(pos, head.data(), head.size())) return PackedOutcome::Untouched;
  std::error_code ec;
  fs::remove(out, ec);  // a target that stays is reported when it cannot be opened
  BlockWriter writer(in, out, pool, limits, step);
  if (head != format::kBlockMarker) {
    auto outcome = startWith(writer, blockAt(in, pos, size, step));
    if (!outcome.ok() || *outcome == PackedOutcome::Busy) return outcome;
    return finished(writer);
  }

  for (std::int64_t at = pos;;) {
    const auto blockSize = in.int32At(at + format::kBlockMarker.size());
    if (!blockSize) return writer.fail(Error::io("block size runs past the end", step));
    auto block = blockAt(in, at + kBlockStart, *blockSize, step);
    if (at == pos) {
      auto outcome = startWith(writer, block);
      if (!outcome.ok() || *outcome == PackedOutcome::Busy) return outcome;
    } else if (!block.ok()) {
      return writer.fail(block.error());
    } else if (Status st = writer.add(*block); !st.ok()) {
      return st.error();
    }
    at += kBlockStart + *blockSize;
    if (at >= in.size()) break;
    if (!in.contains(at, format::kBlockMarker.size())) {
      return writer.fail(Error::io("packed data ends inside a block marker", step));
    }
    if (!markerAt(in, at)) break;
  }
  return finished(writer);
}

}  // namespace qzt
