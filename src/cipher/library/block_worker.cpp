#include "cipher/library/block_worker.h"

#include <algorithm>
#include <memory>
#include <thread>

namespace ovalith::des {
namespace {

using std::chrono::microseconds;

// A program streaming a file calls again soon after a batch; looking for it
// a little while saves waking a sleeping thread each time.
constexpr microseconds kSpinForNextBatch{100};
// The worker is at most one chunk behind when the caller runs out.
constexpr microseconds kSpinForWorker{100};

}  // namespace

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

bool BlockWorker::Share(const Batch& batch) noexcept {
  State idle = State::kIdle;
  if (!state_.compare_exchange_strong(idle, State::kClaimed,
                                      std::memory_order_acquire)) {
    return CryptBlocks(batch.direction, batch.in, batch.out, batch.key,
                       batch.count);
  }
  batch_ = batch;
  next_chunk_.store(0, std::memory_order_relaxed);
  failed_.store(false, std::memory_order_relaxed);
  Announce(State::kPosted);

  TakeChunks(batch);

  State posted = State::kPosted;
  if (!state_.compare_exchange_strong(posted, State::kIdle,
                                      std::memory_order_acquire)) {
    AwaitState(State::kDone, kSpinForWorker);
    state_.store(State::kIdle, std::memory_order_release);
  }
  return !failed_.load(std::memory_order_relaxed);
}

void BlockWorker::Run() noexcept {
  for (;;) {
    AwaitState(State::kPosted, kSpinForNextBatch);
    State posted = State::kPosted;
    if (!state_.compare_exchange_strong(posted, State::kRunning,
                                        std::memory_order_acquire)) {
      continue;  // the caller got through it alone
    }
    // A worker that cannot get a cipher handle leaves every chunk to the
    // caller rather than fail the batch.
    if (ReadyFor(batch_.key)) {
      TakeChunks(batch_);
    }
    Announce(State::kDone);
  }
}

void BlockWorker::TakeChunks(const Batch& batch) noexcept {
  const std::size_t chunks = (batch.count + kChunkBlocks - 1) / kChunkBlocks;
  for (std::size_t chunk = next_chunk_.fetch_add(1, std::memory_order_relaxed);
       chunk < chunks;
       chunk = next_chunk_.fetch_add(1, std::memory_order_relaxed)) {
    const std::size_t first = chunk * kChunkBlocks;
    const std::size_t offset = first * kBlockSize;
    if (!CryptBlocks(batch.direction, batch.in + offset, batch.out + offset,
                     batch.key, std::min(kChunkBlocks, batch.count - first))) {
      failed_.store(true, std::memory_order_relaxed);
    }
  }
}

void BlockWorker::AwaitState(State wanted, microseconds spin) noexcept {
  const auto spin_until = std::chrono::steady_clock::now() + spin;
  for (State seen = state_.load(std::memory_order_acquire); seen != wanted;
       seen = state_.load(std::memory_order_acquire)) {
    if (std::chrono::steady_clock::now() < spin_until) {
      std::this_thread::yield();  // a busy system gets the processor back
    } else {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] {
        return state_.load(std::memory_order_acquire) == wanted;
      });
      return;
    }
  }
}

// The store happens before the lock is taken, so a waiter either sees the
// new state when it checks, or is already asleep and gets the notification.
void BlockWorker::Announce(State state) noexcept {
  state_.store(state, std::memory_order_release);
  { std::lock_guard lock(mutex_); }
  changed_.notify_all();
}

}  // namespace ovalith::des
