// block_worker.h: the second core for bulk calls.  One thread, started on
// first use and kept for the life of the process, takes part of a large
// batch while the caller does the rest.
#ifndef OVALITH_CIPHER_LIBRARY_BLOCK_WORKER_H_
#define OVALITH_CIPHER_LIBRARY_BLOCK_WORKER_H_

#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "cipher/library/des_context.h"

namespace ovalith::des {

// Batches smaller than this are done on the caller's thread alone: handing
// half of them over costs more than it saves (measured by ovalith_des_bench).
inline constexpr std::size_t kMinSplitBlocks = 1024;

struct Batch {
  Direction direction = Direction::kEncrypt;
  const unsigned char* in = nullptr;
  unsigned char* out = nullptr;
  unsigned char key[kKeySize] = {};
  std::size_t count = 0;
};

class BlockWorker {
 public:
  // The process's worker, or nullptr where there is no second core or no
  // thread could be started.
  static BlockWorker* Get() noexcept;

  // Hands batch to the worker.  False when it is busy with another caller's
  // batch; then the caller does the work itself.
  bool TryStart(const Batch& batch) noexcept;

  // After a successful TryStart: waits for the batch.  False when the worker
  // could not transform it, in which case it wrote nothing.
  bool Finish() noexcept;

 private:
  BlockWorker() = default;
  void Run() noexcept;

  std::mutex mutex_;
  std::condition_variable posted_cv_;
  std::condition_variable done_cv_;
  Batch batch_;
  bool busy_ = false;    // a caller owns the worker, TryStart to Finish
  bool posted_ = false;  // a batch waits for the worker
  bool done_ = false;    // the worker finished the batch
  bool ok_ = false;
};

}  // namespace ovalith::des

#endif  // OVALITH_CIPHER_LIBRARY_BLOCK_WORKER_H_
