#include "cipher/library/block_worker.h"

#include <memory>
#include <thread>

namespace ovalith::des {

BlockWorker* BlockWorker::Get() noexcept {
  // The worker is never destroyed and its thread never joined: joining at
  // unload would deadlock under the Windows loader lock, and the library is
  // linked so that it stays loaded once loaded.
  static BlockWorker* const worker = []() noexcept -> BlockWorker* {
    if (std::thread::hardware_concurrency() < 2) return nullptr;
    try {
      std::unique_ptr<BlockWorker> created(new BlockWorker);
      std::thread(&BlockWorker::Run, created.get()).detach();
      return created.release();
    } catch (...) {
      return nullptr;  // no thread to be had: one core it is
    }
  }();
  return worker;
}

bool BlockWorker::TryStart(const Batch& batch) noexcept {
  {
    std::lock_guard lock(mutex_);
    if (busy_) return false;
    busy_ = true;
    batch_ = batch;
    posted_ = true;
  }
  posted_cv_.notify_one();
  return true;
}

bool BlockWorker::Finish() noexcept {
  std::unique_lock lock(mutex_);
  done_cv_.wait(lock, [this] { return done_; });
  done_ = false;
  busy_ = false;
  return ok_;
}

void BlockWorker::Run() noexcept {
  for (;;) {
    Batch batch;
    {
      std::unique_lock lock(mutex_);
      posted_cv_.wait(lock, [this] { return posted_; });
      posted_ = false;
      batch = batch_;
    }
    const bool ok = CryptBlocks(batch.direction, batch.in, batch.out, batch.key,
                                batch.count);
    {
      std::lock_guard lock(mutex_);
      ok_ = ok;
      done_ = true;
    }
    done_cv_.notify_one();
  }
}

}  // namespace ovalith::des
