#include "util/worker_pool.h"

#include <algorithm>
#include <system_error>

namespace qzt {

WorkerPool::WorkerPool(unsigned threads) {
  try {
    for (unsigned i = 0; i < std::max(threads, 1u); ++i) threads_.emplace_back([this] { work(); });
  } catch (const std::system_error&) {
    // Fewer threads than asked for; with none, submit runs each task itself.
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& t : threads_) t.join();
}

std::future<void> WorkerPool::submit(std::function<void()> task) {
  std::packaged_task<void()> job(std::move(task));
  auto done = job.get_future();
  if (threads_.empty()) {
    job();
    return done;
  }
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(job));
  }
  wake_.notify_one();
  return done;
}

void WorkerPool::work() {
  for (;;) {
    std::packaged_task<void()> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    job();
  }
}

WorkerPool& LazyWorkerPool::get() {
  if (!pool_) pool_ = std::make_unique<WorkerPool>(WorkerPool::machineThreads());
  return *pool_;
}

unsigned WorkerPool::machineThreads() {
  static const unsigned threads = std::max(std::thread::hardware_concurrency(), 1u);  // asked once
  return threads;
}

}  // namespace qzt
