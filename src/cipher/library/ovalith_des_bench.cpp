// Throughput of the bitsliced DES: each path on a buffer on one core, and
// the exported entry points (single block and bulk) on the default path.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <vector>

#include "cipher/library/des_paths.h"
#include "cipher/library/ovalith_des.h"

namespace {

constexpr unsigned char kKey[8] = {0x13, 0x34, 0x57, 0x79,
                                   0x9B, 0xBC, 0xDF, 0xF1};

std::vector<unsigned char> Buffer(std::size_t bytes) {
  std::vector<unsigned char> buffer(bytes);
  for (std::size_t i = 0; i < bytes; ++i)
    buffer[i] = static_cast<unsigned char>(i * 131);
  return buffer;
}

void BM_Path(benchmark::State& state, ovalith::des::Path path, bool decrypt) {
  if (!ovalith::des::PathAvailable(path)) {
    state.SkipWithError("not on this processor");
    return;
  }
  const auto bytes = static_cast<std::size_t>(state.range(0));
  std::vector<unsigned char> in = Buffer(bytes);
  std::vector<unsigned char> out(bytes);
  for (auto _ : state) {
    ovalith::des::Crypt(path, decrypt, in.data(), out.data(), kKey, bytes / 8);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void RegisterPaths() {
  for (ovalith::des::Path path : ovalith::des::kAllPaths) {
    for (bool decrypt : {false, true}) {
      const std::string name = std::string("BM_") +
                               (decrypt ? "Decrypt/" : "Encrypt/") +
                               ovalith::des::PathName(path);
      // One block; 256 KiB, a batch of the program, stays in L2; 16 MiB
      // does not.
      benchmark::RegisterBenchmark(name.c_str(), BM_Path, path, decrypt)
          ->Arg(8)
          ->Arg(256 << 10)
          ->Arg(16 << 20);
    }
  }
}

void BM_EncryptOneBlock(benchmark::State& state) {
  std::vector<unsigned char> in = Buffer(8);
  std::vector<unsigned char> out(8);
  for (auto _ : state) {
    encrypt(in.data(), out.data(), kKey);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * 8);
}
BENCHMARK(BM_EncryptOneBlock);

void BM_EncryptBlocks(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0));
  std::vector<unsigned char> buffer = Buffer(bytes);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        encrypt_blocks(buffer.data(), buffer.data(), kKey, bytes / 8));
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EncryptBlocks)->Arg(4 << 10)->Arg(512 << 10);

}  // namespace

int main(int argc, char** argv) {
  RegisterPaths();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
