// block_worker.h: the second core for bulk calls.  One thread, started on
// first use and kept for the life of the process, shares the chunks of a
// large batch with the caller.
#ifndef OVALITH_CIPHER_LIBRARY_BLOCK_WORKER_H_
#define OVALITH_CIPHER_LIBRARY_BLOCK_WORKER_H_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "cipher/library/des_context.h"

namespace ovalith::des {

// Caller and worker take a batch's blocks this many at a time, so neither
// waits for the other much longer than one chunk takes (about 20 us), and a
// worker that gets no processor leaves all the chunks to the caller.
inline constexpr std::size_t kChunkBlocks = 256;

// Smaller batches are done on the caller's thread alone: with fewer than two
// chunks there is nothing to share (ovalith_des_bench measures the gain from
// two on).
inline constexpr std::size_t kMinSplitBlocks = 2 * kChunkBlocks;

struct Batch {
  Direction direction = Direction::kEncrypt;
  const unsigned char* in = nullptr;
  unsigned char* out = nullptr;
  const unsigned char* key = nullptr;
  std::size_t count = 0;
};

class BlockWorker {
 public:
  // The process's worker, or nullptr where there is no second core or no
  // thread could be started.
  static BlockWorker* Get() noexcept;

  // Transforms batch as CryptBlocks does, with the worker's help when it is
  // not busy with another caller's batch.  False when some blocks failed.
  bool Share(const Batch& batch) noexcept;

 private:
  // kIdle -> kClaimed -> kPosted (caller) -> kRunning -> kDone (worker) ->
  // kIdle (caller); or kPosted -> kIdle when the caller finished every chunk
  // before the worker woke.
  enum class State { kIdle, kClaimed, kPosted, kRunning, kDone };

  BlockWorker() = default;
  void Run() noexcept;
  void TakeChunks(const Batch& batch) noexcept;
  void AwaitState(State wanted, std::chrono::microseconds spin) noexcept;
  void Announce(State state) noexcept;

  std::atomic<State> state_{State::kIdle};
  // For sleeping until kPosted or kDone.  Not std::atomic::wait: GCC 12's
  // version of it can miss a notification where there is no futex (the
  // Windows build), and the caller then waits for ever.
  std::mutex mutex_;
  std::condition_variable changed_;
  Batch batch_;  // written by the caller before kPosted, read-only after
  std::atomic<std::size_t> next_chunk_{0};
  std::atomic<bool> failed_{false};
};

}  // namespace ovalith::des

#endif  // OVALITH_CIPHER_LIBRARY_BLOCK_WORKER_H_
