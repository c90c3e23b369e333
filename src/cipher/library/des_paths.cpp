#include "cipher/library/des_paths.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "cipher/library/des_key_schedule.h"
#include "cipher/library/des_one_block.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#define OVALITH_DES_X86 1
#endif
// A WebAssembly module either has SIMD128 throughout or is refused whole by a
// browser without it: the build decides, not a probe at run time.
#ifdef __wasm_simd128__
#define OVALITH_DES_SIMD128 1
#endif

namespace ovalith::des {
namespace {

struct Cpu {
  bool sse2 = false;
  bool avx2 = false;
  bool avx512 = false;
  bool avx512_vbmi = false;  // and BW and GFNI
};

Cpu Detect() {
  Cpu cpu;
#ifdef OVALITH_DES_X86
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return cpu;
  cpu.sse2 = (d & (1u << 26)) != 0;
  const bool osxsave = (c & (1u << 27)) != 0;
  const bool avx = (c & (1u << 28)) != 0;
  if (!osxsave || !avx) return cpu;
  // The processor having the registers is not enough: the operating system
  // must save them on a switch (XCR0: SSE, AVX, and the three AVX-512 parts).
  unsigned xcr0 = 0, xcr0_high = 0;
  __asm__ volatile("xgetbv" : "=a"(xcr0), "=d"(xcr0_high) : "c"(0));
  const bool ymm = (xcr0 & 0x06) == 0x06;
  const bool zmm = (xcr0 & 0xE6) == 0xE6;
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return cpu;
  cpu.avx2 = ymm && (b & (1u << 5)) != 0;
  cpu.avx512 = zmm && (b & (1u << 16)) != 0;  // AVX-512 F
  const bool bw = (b & (1u << 30)) != 0;
  const bool vbmi = (c & (1u << 1)) != 0;
  const bool gfni = (c & (1u << 8)) != 0;
  cpu.avx512_vbmi = cpu.avx512 && bw && vbmi && gfni;
#endif
  return cpu;
}

const Cpu& TheCpu() {
  static const Cpu cpu = Detect();
  return cpu;
}

PathFn Function(Path path) {
  switch (path) {
#ifdef OVALITH_DES_X86
    case Path::kSse2:
      return CryptSse2;
    case Path::kAvx2:
      return CryptAvx2;
    case Path::kAvx512:
      return CryptAvx512;
    case Path::kAvx512Vbmi:
      return CryptAvx512Vbmi;
#endif
#ifdef OVALITH_DES_SIMD128
    case Path::kSimd128:
      return CryptSimd128;
#endif
    default:
      break;
  }
  return CryptWord64;
}

Path ChooseDefault() {
  if (const char* forced = std::getenv("OVALITH_DES_PATH")) {
    for (Path path : kAllPaths)
      if (std::strcmp(forced, PathName(path)) == 0 && PathAvailable(path))
        return path;
  }
  Path best = Path::kWord64;
  for (Path path : kAllPaths)
    if (PathAvailable(path)) best = path;
  return best;
}

// The round keys of the last key, kept while the key stays the same (a run
// uses one key throughout).  A call that finds them in use by another thread
// makes its own on the stack rather than wait.
struct KeyCache {
  std::atomic<bool> busy{false};
  bool valid = false;
  unsigned char key[8] = {};
  RoundKeys keys = {};
};
KeyCache g_cache;

}  // namespace

const char* PathName(Path path) {
  switch (path) {
    case Path::kSse2:
      return "sse2";
    case Path::kAvx2:
      return "avx2";
    case Path::kAvx512:
      return "avx512";
    case Path::kAvx512Vbmi:
      return "avx512vbmi";
    case Path::kSimd128:
      return "simd128";
    case Path::kWord64:
      break;
  }
  return "word64";
}

std::size_t PassBlocks(Path path) {
  switch (path) {
    case Path::kSse2:
      return 128;
    case Path::kAvx2:
      return 256;
    case Path::kAvx512:
    case Path::kAvx512Vbmi:
      return 512;
    case Path::kSimd128:
      return 128;
    case Path::kWord64:
      break;
  }
  return 64;
}

bool PathAvailable(Path path) {
  switch (path) {
    case Path::kSse2:
      return TheCpu().sse2;
    case Path::kAvx2:
      return TheCpu().avx2;
    case Path::kAvx512:
      return TheCpu().avx512;
    case Path::kAvx512Vbmi:
      return TheCpu().avx512_vbmi;
    case Path::kSimd128:
#ifdef OVALITH_DES_SIMD128
      return true;
#else
      return false;
#endif
    case Path::kWord64:
      break;
  }
  return true;
}

Path DefaultPath() {
  static const Path path = ChooseDefault();
  return path;
}

void Crypt(Path path, bool decrypt, const unsigned char* in, unsigned char* out,
           const unsigned char* key, std::size_t count) {
  if (count == 0) return;
  const PathFn path_crypt = Function(path);
  // A bitsliced pass costs the same for one block as for all its lanes, as
  // much as four blocks on their own: up to three left over go that way.
  constexpr std::size_t kAlone = 3;
  const std::size_t alone =
      count % PassBlocks(path) <= kAlone ? count % PassBlocks(path) : 0;
  auto crypt = [&](const RoundKeys& keys) {
    path_crypt(in, out, count - alone, keys.masks, decrypt);
    for (std::size_t i = count - alone; i < count; ++i)
      CryptOneBlock(in + 8 * i, out + 8 * i, keys, decrypt);
  };
  // The key may lie in the buffer being overwritten: it is read in full
  // before any block is written.
  unsigned char key_copy[8];
  std::memcpy(key_copy, key, sizeof key_copy);
  if (!g_cache.busy.exchange(true, std::memory_order_acquire)) {
    // Whether the key changed is all this comparison can tell a timer.
    if (!g_cache.valid ||
        std::memcmp(g_cache.key, key_copy, sizeof key_copy) != 0) {
      MakeRoundKeys(key_copy, g_cache.keys);
      std::memcpy(g_cache.key, key_copy, sizeof key_copy);
      g_cache.valid = true;
    }
    crypt(g_cache.keys);
    g_cache.busy.store(false, std::memory_order_release);
    return;
  }
  RoundKeys keys;
  MakeRoundKeys(key_copy, keys);
  crypt(keys);
}

}  // namespace ovalith::des
