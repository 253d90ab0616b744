// Packed data inside an open paper file: one block, or a run of blocks each
// behind the 8-byte block marker and an int32 block size. Used by the group
// unpacking and by unpackPacked.
#pragma once

#include <cstdint>
#include <filesystem>

#include "paper/paper_file.h"
#include "paper/unpack_limits.h"
#include "util/result.h"
#include "util/worker_pool.h"

namespace qzt {

enum class PackedOutcome {
  Untouched,  // size 0: the target was neither deleted nor created
  Written,
  Busy,       // the target could not be created or replaced
};

// DeCompressionfile: deletes `out`, then unpacks the packed data at `pos`.
// Fewer than 8 bytes before the end of the file leave `out` untouched.
// A marked run ends at the first 8 bytes after a block that are not the
// marker; `size` then plays no part beyond being non-zero. A run cut at a
// block boundary by the end of the file ends there. A failed block or run
// removes `out`, so a file is whole or absent. Blocks inflate on `pool`,
// which the run's other files share.
Result<PackedOutcome> unpackPackedAt(PaperFile& in, const std::filesystem::path& out, std::int32_t size,
                                     std::int64_t pos, int step, LazyWorkerPool& pool,
                                     const UnpackLimits& limits = {});

}  // namespace qzt
