// writer_thread.h: one thread that runs the jobs it is given one at a time,
// in order, while the caller goes on: a run writes one batch of its output
// while it transforms the next.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace ovalith {

class WriterThread {
 public:
  WriterThread() = default;
  // Waits for the job in hand; what it threw is dropped.
  ~WriterThread();
  WriterThread(const WriterThread&) = delete;
  WriterThread& operator=(const WriterThread&) = delete;

  // Runs job on the thread once the job before it is done.  Throws what
  // that one threw, and then job does not run.
  void Start(std::function<void()> job);
  // Waits for the job in hand; throws what it threw (once).
  void Wait();
  // Waits for the job in hand; what it threw is kept for Start or Wait.
  void WaitQuietly();

 private:
  void Loop();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;  // empty when there is none
  std::exception_ptr error_;
  bool quit_ = false;
  std::thread thread_;  // started by the first job
};

}  // namespace ovalith
