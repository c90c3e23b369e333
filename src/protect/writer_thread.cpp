#include "protect/writer_thread.h"

#include <system_error>
#include <utility>

namespace ovalith {

WriterThread::~WriterThread() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void WriterThread::Start(std::function<void()> job) {
  Wait();
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread([this] { Loop(); });
    } catch (const std::system_error&) {
      job();  // no thread to be had: the job runs at once
      return;
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = std::move(job);
  }
  changed_.notify_all();
}

void WriterThread::Wait() {
  WaitQuietly();
  std::lock_guard<std::mutex> lock(mutex_);
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void WriterThread::WaitQuietly() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !job_; });
}

void WriterThread::Loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return job_ || quit_; });
    if (!job_) return;  // quit, with nothing left to do
    lock.unlock();
    std::exception_ptr error;
    try {
      job_();
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    error_ = error;
    job_ = nullptr;
    changed_.notify_all();
  }
}

}  // namespace ovalith
