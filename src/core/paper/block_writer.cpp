#include "paper/block_writer.h"

#include <algorithm>
#include <future>
#include <span>

#include "paper/inflate.h"

namespace qzt {

namespace fs = std::filesystem;

// A whole block read ahead. The worker frees the stream once inflated.
struct BlockWriter::Pending {
  Pending(const BlockHead& block, std::int64_t bytes)
      : head(block),
        cost(bytes),
        stream(std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(block.streamLen))),
        data(std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(block.length))) {}

  const BlockHead head;
  const std::int64_t cost;  // stream and output bytes held
  std::unique_ptr<unsigned char[]> stream;
  std::unique_ptr<unsigned char[]> data;
  bool exact = false;  // data holds exactly U bytes
  std::future<void> done;

  void inflate() {
    exact = inflateWhole({stream.get(), static_cast<std::size_t>(head.streamLen)},
                         {data.get(), static_cast<std::size_t>(head.length)});
    stream.reset();
  }
};

BlockWriter::BlockWriter(PaperFile& in, fs::path out, const UnpackLimits& limits, int step)
    : in_(in), out_(std::move(out)), limits_(limits), step_(step) {}

BlockWriter::~BlockWriter() {
  for (auto& p : pending_) {
    if (p->done.valid()) p->done.wait();
  }
  if (opened_ && !finished_) {
    file_.close();
    std::error_code ec;
    fs::remove(out_, ec);  // never a half-written file
  }
}

Result<bool> BlockWriter::open() {
  std::error_code ec;
  if (out_.has_parent_path()) fs::create_directories(out_.parent_path(), ec);
  if (ec) return Error::io("cannot create the folder of " + out_.string(), step_);
  file_.open(out_, std::ios::binary | std::ios::trunc);
  opened_ = file_.is_open();
  return opened_;
}

bool BlockWriter::whole(const BlockHead& block) const {
  return block.length <= limits_.wholeBlockMax && block.streamLen <= limits_.wholeBlockMax;
}

Status BlockWriter::add(const BlockHead& block) {
  if (block.length == 0) return Status::success();  // its stream is never looked at
  if (!whole(block)) {
    if (Status st = drain(); !st.ok()) return st;
    return inflateTo(in_, block.streamPos, block.streamLen, block.length, file_, step_);
  }
  const std::int64_t cost = block.streamLen + block.length;
  if (Status st = makeRoom(cost); !st.ok()) return st;
  auto p = std::make_unique<Pending>(block, cost);
  if (!in_.read(block.streamPos, p->stream.get(), static_cast<std::size_t>(block.streamLen))) {
    return fail(Error::io("packed data runs past the end", step_));
  }
  start(*p);
  bytesInFlight_ += cost;
  pending_.push_back(std::move(p));
  return Status::success();
}

void BlockWriter::start(Pending& job) {
  // A lone block gains nothing from threads; a run's second one starts them.
  if (!limits_.parallel || wholeBlocks_++ == 0) {
    job.inflate();
    return;
  }
  if (!pool_) pool_ = std::make_unique<WorkerPool>(WorkerPool::machineThreads());
  job.done = pool_->submit([&job] { job.inflate(); });
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
  if (!p->exact) return inflateTo(in_, b.streamPos, b.streamLen, b.length, file_, step_);
  file_.write(reinterpret_cast<const char*>(p->data.get()), static_cast<std::streamsize>(b.length));
  if (!file_) return Error::io("cannot write an unpacked file", step_);
  return Status::success();
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
  file_.close();
  if (file_.fail()) return Error::io("cannot write " + out_.string(), step_);
  finished_ = true;
  return Status::success();
}

}  // namespace qzt
