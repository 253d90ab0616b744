// How much of a packed file unpacking may hold in memory, and whether the
// blocks of a marked run are inflated on the worker pool.
#pragma once

#include <cstddef>
#include <cstdint>

#include "util/worker_pool.h"

namespace qzt {

struct UnpackLimits {
  // A block whose declared length and stream both fit is read and inflated
  // whole in one call; a larger one streams through zlib in fixed chunks.
  std::int64_t wholeBlockMax = std::int64_t{16} << 20;
  // Whole blocks of a marked run are inflated on the shared worker pool
  // while earlier ones are written; otherwise one at a time in the caller.
  bool parallel = true;
  // Whole blocks held at once (read, inflating or waiting to be written),
  // and their stream and output bytes together.
  std::size_t blocksInFlight = 2 * std::size_t{WorkerPool::machineThreads()};
  std::int64_t bytesInFlight = std::int64_t{48} << 20;

  // Every block through zlib's streaming inflate, in the caller.
  static UnpackLimits streamingOnly() { return {.wholeBlockMax = -1, .parallel = false}; }
};

}  // namespace qzt
