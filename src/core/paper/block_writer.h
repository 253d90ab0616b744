// Writes the blocks of one packed file to its target, each at its place.
//
// Blocks within the whole-block limit are read ahead, then inflated and
// written by the same thread (from the second on, on the run's worker pool
// when parallel), at most a bounded number and size of them at a time; a
// larger block streams through zlib once every earlier block is written.
// Failures are taken in order. The target is whole when finish() succeeds
// and removed on every failure.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <vector>

#include "paper/paper_file.h"
#include "paper/unpack_limits.h"
#include "util/block_buffer.h"
#include "util/platform.h"
#include "util/result.h"
#include "util/worker_pool.h"

namespace qzt {

// A block whose length field has been checked: its zlib stream's place and
// the declared unpacked length U.
struct BlockHead {
  std::int64_t streamPos = 0;
  std::int64_t streamLen = 0;
  std::int32_t length = 0;
};

class BlockWriter {
 public:
  BlockWriter(PaperFile& in, std::filesystem::path out, LazyWorkerPool& pool, const UnpackLimits& limits, int step);
  // Waits for blocks still inflating; removes a target that was not finished.
  ~BlockWriter();
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // Creates the target's folder and replaces the target. False when the
  // target cannot be created or replaced.
  Result<bool> open();
  // REQUIRES: open() gave true. Takes the next block; may write earlier
  // ones. An error is the first failing block's, in order.
  Status add(const BlockHead& block);
  // An error found after the blocks added so far: theirs comes first.
  Error fail(Error error);
  // Writes what is left and closes the target.
  Status finish();

 private:
  struct Pending;

  bool whole(const BlockHead& block) const;
  BlockBuffer take(std::vector<BlockBuffer>& spares, std::int64_t size);
  void keepSpare(std::vector<BlockBuffer>& spares, BlockBuffer buffer);
  void start(Pending& job);
  Status makeRoom(std::int64_t cost);
  Status writeOldest();
  Status drain();

  PaperFile& in_;
  const std::filesystem::path out_;
  LazyWorkerPool& pool_;  // the run's, made for the first block a worker inflates
  const UnpackLimits limits_;
  const int step_;
  platform::PositionedFile file_;
  std::int64_t end_ = 0;  // where the next block goes
  bool opened_ = false;
  bool finished_ = false;
  std::deque<std::unique_ptr<Pending>> pending_;
  std::int64_t bytesInFlight_ = 0;
  int wholeBlocks_ = 0;
  // Buffers of written blocks, for the next ones: fresh memory costs a
  // page fault on every page of every block.
  std::vector<BlockBuffer> spareStreams_;
  std::vector<BlockBuffer> spareData_;
  std::int64_t spareBytes_ = 0;
};

}  // namespace qzt
