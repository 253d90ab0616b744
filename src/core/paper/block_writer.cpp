#include "paper/block_writer.h"

#include <algorithm>
#include <future>
#include <span>

#include "paper/inflate.h"

namespace qzt {

namespace fs = std::filesystem;

namespace {

std::int64_t capacityOf(const BlockBuffer& b) { return static_cast<std::int64_t>(b.capacity()); }

}  // namespace

// A whole block read ahead, inflated and written by a worker: its bytes
// are written from the cache of the core that made them.
struct BlockWriter::Pending {
  const BlockHead head;
  const std::int64_t cost;  // stream and output bytes held
  const std::int64_t offset;  // in the target
  BlockBuffer stream;
  BlockBuffer data;
  bool exact = false;    // data holds exactly U bytes
  bool written = false;  // and they are in the target
  std::future<void> done;

  void inflateAndWrite(platform::PositionedFile& file) {
    const auto length = static_cast<std::size_t>(head.length);
    exact = inflateWhole({stream.data(), static_cast<std::size_t>(head.streamLen)}, {data.data(), length});
    written = exact && file.writeAt(offset, data.data(), length);
  }
};

BlockWriter::BlockWriter(PaperFile& in, fs::path out, LazyWorkerPool& pool, const UnpackLimits& limits, int step)
    : in_(in), out_(std::move(out)), pool_(pool), limits_(limits), step_(step) {}

BlockWriter::~BlockWriter() {
  for (auto& p : pending_) {
    if (p->done.valid()) p->done.wait();
  }
  if (opened_ && !finished_) {
    (void)file_.close();
    std::error_code ec;
    fs::remove(out_, ec);  // never a half-written file
  }
}

Result<bool> BlockWriter::open() {
  std::error_code ec;
  if (out_.has_parent_path()) fs::create_directories(out_.parent_path(), ec);
  if (ec) return Error::io("cannot create the folder of " + out_.string(), step_);
  file_ = platform::PositionedFile::create(out_);
  opened_ = file_.isOpen();
  return opened_;
}

bool BlockWriter::whole(const BlockHead& block) const {
  return block.length <= limits_.wholeBlockMax && block.streamLen <= limits_.wholeBlockMax;
}

Status BlockWriter::add(const BlockHead& block) {
  if (block.length == 0) return Status::success();  // its stream is never looked at
  const std::int64_t offset = end_;
  end_ += block.length;
  if (!whole(block)) {
    if (Status st = drain(); !st.ok()) return st;
    return inflateTo(in_, block.streamPos, block.streamLen, block.length, file_, offset, step_);
  }
  const std::int64_t cost = block.streamLen + block.length;
  if (Status st = makeRoom(cost); !st.ok()) return st;
  auto p = std::make_unique<Pending>(Pending{
      block, cost, offset, take(spareStreams_, block.streamLen), take(spareData_, block.length), false, false, {}});
  if (!in_.read(block.streamPos, p->stream.data(), static_cast<std::size_t>(block.streamLen))) {
    return fail(Error::io("packed data runs past the end", step_));
  }
  start(*p);
  bytesInFlight_ += cost;
  pending_.push_back(std::move(p));
  return Status::success();
}

// The smallest spare that holds `size` bytes, or a new buffer with room
// for a slightly larger block next time.
BlockBuffer BlockWriter::take(std::vector<BlockBuffer>& spares, std::int64_t size) {
  auto best = spares.end();
  for (auto it = spares.begin(); it != spares.end(); ++it) {
    if (capacityOf(*it) >= size && (best == spares.end() || it->capacity() < best->capacity())) best = it;
  }
  if (best != spares.end()) {
    spareBytes_ -= capacityOf(*best);
    BlockBuffer b = std::move(*best);
    spares.erase(best);
    return b;
  }
  // Sizes changed: spares too small for this block would only hold memory.
  for (const BlockBuffer& spare : spares) spareBytes_ -= capacityOf(spare);
  spares.clear();
  return BlockBuffer(static_cast<std::size_t>(size + size / 8));
}

void BlockWriter::start(Pending& job) {
  // A lone block gains nothing from threads; a run's second one starts them.
  if (!limits_.parallel || wholeBlocks_++ == 0) {
    job.inflateAndWrite(file_);
    return;
  }
  job.done = pool_.get().submit([&job, this] { job.inflateAndWrite(file_); });
}

// Writes the oldest blocks until one more of `cost` bytes fits the bounds.
Status BlockWriter::makeRoom(std::int64_t cost) {
  const std::size_t maxBlocks = limits_.parallel ? std::max<std::size_t>(limits_.blocksInFlight, 1) : 1;
  while (!pending_.empty() &&
         (pending_.size() >= maxBlocks || bytesInFlight_ + cost > limits_.bytesInFlight)) {
    if (Status st = writeOldest(); !st.ok()) return st;
  }
  return Status::success();
}

Status BlockWriter::writeOldest() {
  const std::unique_ptr<Pending> p = std::move(pending_.front());
  pending_.pop_front();
  if (p->done.valid()) p->done.wait();
  bytesInFlight_ -= p->cost;
  const BlockHead& b = p->head;
  Status st = Status::success();
  if (!p->exact) {
    st = inflateTo(in_, b.streamPos, b.streamLen, b.length, file_, p->offset, step_);
  } else if (!p->written) {
    st = Error::io("cannot write an unpacked file", step_);
  }
  keepSpare(spareStreams_, std::move(p->stream));
  keepSpare(spareData_, std::move(p->data));
  return st;
}

// Every block in flight may reuse a written one's buffers, as long as the
// spares and the blocks in flight together stay within the memory bound.
void BlockWriter::keepSpare(std::vector<BlockBuffer>& spares, BlockBuffer buffer) {
  if (bytesInFlight_ + spareBytes_ + capacityOf(buffer) > limits_.bytesInFlight) return;
  spareBytes_ += capacityOf(buffer);
  spares.push_back(std::move(buffer));
}

Status BlockWriter::drain() {
  while (!pending_.empty()) {
    if (Status st = writeOldest(); !st.ok()) return st;
  }
  return Status::success();
}

Error BlockWriter::fail(Error error) {
  if (Status st = drain(); !st.ok()) return st.error();
  return error;
}

Status BlockWriter::finish() {
  if (Status st = drain(); !st.ok()) return st;
  if (!file_.close()) return Error::io("cannot write " + out_.string(), step_);
  finished_ = true;
  return Status::success();
}

}  // namespace qzt
