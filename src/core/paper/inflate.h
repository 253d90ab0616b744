// Inflating one block of packed data with bounded memory.
//
// A block is the int32 unpacked length U followed by a zlib stream; exactly
// U bytes are kept and a stream that ends before U bytes is corrupt. The
// stream is inflated through fixed-size chunks straight into the output, so
// a large U never becomes one large buffer.
#pragma once

#include <cstdint>
#include <ostream>

#include "paper/paper_file.h"
#include "util/result.h"

namespace qzt {

// The largest U that `streamLen` bytes of zlib stream could honestly claim.
std::int64_t maxUnpackedLength(std::int64_t streamLen);

// Inflates the zlib stream of `streamLen` bytes at `pos` of `in` and writes
// its first `want` bytes to `out`. Errors carry `step`.
Status inflateTo(PaperFile& in, std::int64_t pos, std::int64_t streamLen, std::int64_t want,
                 std::ostream& out, int step);

}  // namespace qzt
