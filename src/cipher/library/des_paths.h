// des_paths.h: the bitsliced DES paths (one per instruction set, each in its
// own translation unit), choosing among them by what the processor offers,
// and the DES of a buffer under a key with the key's round keys cached.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ovalith::des {

// Narrowest first: the last one available is the default.
enum class Path { kWord64, kSse2, kAvx2, kAvx512, kAvx512Vbmi, kSimd128 };
inline constexpr Path kAllPaths[] = {Path::kWord64,     Path::kSse2,
                                     Path::kAvx2,       Path::kAvx512,
                                     Path::kAvx512Vbmi, Path::kSimd128};

// "word64", "sse2", "avx2", "avx512", "avx512vbmi" (AVX-512 with VBMI and
// GFNI), "simd128" (WebAssembly's).
const char* PathName(Path path);
// Blocks a path transforms at once.
std::size_t PassBlocks(Path path);
// Whether this build has the path and this processor (and its operating
// system) can run it.
bool PathAvailable(Path path);
// The widest available path, or the one the environment variable
// OVALITH_DES_PATH names when available; decided once per process.
Path DefaultPath();

// DES of count 8-byte blocks of in into out (the same buffer, or one that
// does not overlap it) under key, on path, which must be available.
void Crypt(Path path, bool decrypt, const unsigned char* in, unsigned char* out,
           const unsigned char* key, std::size_t count);

// The paths' own functions, with round keys from MakeRoundKeys.
using PathFn = void (*)(const unsigned char* in, unsigned char* out,
                        std::size_t count, const std::uint64_t* masks,
                        bool decrypt);
void CryptWord64(const unsigned char*, unsigned char*, std::size_t,
                 const std::uint64_t*, bool);
void CryptSse2(const unsigned char*, unsigned char*, std::size_t,
               const std::uint64_t*, bool);
void CryptAvx2(const unsigned char*, unsigned char*, std::size_t,
               const std::uint64_t*, bool);
void CryptAvx512(const unsigned char*, unsigned char*, std::size_t,
                 const std::uint64_t*, bool);
void CryptAvx512Vbmi(const unsigned char*, unsigned char*, std::size_t,
                     const std::uint64_t*, bool);
// Only in a WebAssembly build with SIMD128 (-msimd128).
void CryptSimd128(const unsigned char*, unsigned char*, std::size_t,
                  const std::uint64_t*, bool);

}  // namespace ovalith::des
