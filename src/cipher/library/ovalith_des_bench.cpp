// Throughput of libovalith: one block per call, whole buffers split across
// both cores, whole buffers on one core, and what a thread per call would
// cost instead of the persistent worker.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

#include "cipher/library/block_worker.h"
#include "cipher/library/ovalith_des.h"

namespace {

constexpr unsigned char kKey[8] = {0x13, 0x34, 0x57, 0x79,
                                   0x9B, 0xBC, 0xDF, 0xF1};

std::vector<unsigned char> Buffer(std::size_t bytes) {
  std::vector<unsigned char> buffer(bytes);
  for (std::size_t i = 0; i < bytes; ++i) {
    buffer[i] = static_cast<unsigned char>(i * 131);
  }
  return buffer;
}

void BM_EncryptOneBlockPerCall(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0));
  std::vector<unsigned char> in = Buffer(bytes);
  std::vector<unsigned char> out(bytes);
  for (auto _ : state) {
    for (std::size_t offset = 0; offset < bytes; offset += 8) {
      encrypt(in.data() + offset, out.data() + offset, kKey);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EncryptOneBlockPerCall)->Arg(64 << 10)->UseRealTime();

template <ovalith_blocks_fn kFn>
void BM_Blocks(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0));
  std::vector<unsigned char> in = Buffer(bytes);
  std::vector<unsigned char> out(bytes);
  for (auto _ : state) {
    kFn(in.data(), out.data(), kKey, bytes / 8);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Blocks<encrypt_blocks>)
    ->Name("BM_EncryptBlocks")
    ->RangeMultiplier(2)
    ->Range(4 << 10, 64 << 10)
    ->Arg(1 << 20)
    ->UseRealTime();
BENCHMARK(BM_Blocks<decrypt_blocks>)
    ->Name("BM_DecryptBlocks")
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->UseRealTime();

// The same buffers in calls too small to be split: libgcrypt on one core.
void BM_EncryptBlocksOneCore(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0));
  constexpr std::size_t kChunk = (ovalith::des::kMinSplitBlocks - 1) * 8;
  std::vector<unsigned char> in = Buffer(bytes);
  std::vector<unsigned char> out(bytes);
  for (auto _ : state) {
    for (std::size_t offset = 0; offset < bytes; offset += kChunk) {
      const std::size_t chunk = std::min(kChunk, bytes - offset);
      encrypt_blocks(in.data() + offset, out.data() + offset, kKey, chunk / 8);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EncryptBlocksOneCore)
    ->RangeMultiplier(2)
    ->Range(4 << 10, 64 << 10)
    ->Arg(1 << 20)
    ->UseRealTime();

// What starting a thread for each bulk call would add to it.
void BM_ThreadStartJoin(benchmark::State& state) {
  for (auto _ : state) {
    std::thread thread([] {});
    thread.join();
  }
}
BENCHMARK(BM_ThreadStartJoin)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
