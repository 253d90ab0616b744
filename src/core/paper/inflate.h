// Inflating one block of packed data.
//
// A block is the int32 unpacked length U followed by a zlib stream; exactly
// U bytes are kept and a stream that ends before U bytes is corrupt. A
// block of sane size is inflated whole in one call; when that call does not
// give exactly U bytes, or the block is large, the stream is inflated
// through fixed-size chunks straight into the output, and that decides the
// block's outcome. So a large U never becomes one large buffer, and both
// ways give the same bytes and the same failures.
#pragma once

#include <cstdint>
#include <span>

#include "paper/paper_file.h"
#include "util/platform.h"
#include "util/result.h"

namespace qzt {

// The largest U that `streamLen` bytes of zlib stream could honestly claim.
std::int64_t maxUnpackedLength(std::int64_t streamLen);

// Inflates the zlib stream of `streamLen` bytes at `pos` of `in` and writes
// its first `want` bytes to `out` from `outPos` on. Errors carry `step`.
Status inflateTo(PaperFile& in, std::int64_t pos, std::int64_t streamLen, std::int64_t want,
                 platform::PositionedFile& out, std::int64_t outPos, int step);

// Inflates a whole zlib stream into exactly out.size() bytes in one call.
// False when the stream is damaged anywhere (its trailer too) or does not
// hold exactly that many bytes; the block then goes through inflateTo.
bool inflateWhole(std::span<const unsigned char> stream, std::span<unsigned char> out);

}  // namespace qzt
