// A fixed set of worker threads that run queued tasks in the order given.
// Callers wait on the future of each task; the pool never drops a task.
// Each user makes its own pool and ends it when done: no thread outlives
// its work, so a process that forks never inherits a pool without threads.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qzt {

class WorkerPool {
 public:
  // Starts up to `threads` threads (at least 1 is asked for); when the
  // system gives none, submit runs each task before it returns.
  explicit WorkerPool(unsigned threads);
  // Runs the tasks still queued, then joins the threads.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  std::future<void> submit(std::function<void()> task);

  // As many threads as the machine runs at once, at least 1.
  static unsigned machineThreads();

 private:
  void work();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::packaged_task<void()>> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// A pool made on first use and kept for a whole run (an unpacking of many
// files), so its threads start once per run, not once per file.
class LazyWorkerPool {
 public:
  WorkerPool& get();

 private:
  std::unique_ptr<WorkerPool> pool_;
};

}  // namespace qzt
