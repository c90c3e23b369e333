// des_paths_wasm_check: the WebAssembly build's paths under node, for the
// web tests (tests/web/des_paths_wasm_test.py) to hold against OpenSSL, and
// their speed.
//   des_paths_wasm_check PATH KEYHEX e|d IN OUT [KEYHEX e|d IN OUT]...
//   des_paths_wasm_check PATH bench MIB
// PATH is "word64" or "simd128" (in the module built with SIMD128).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cipher/library/des_paths.h"

namespace {

using ovalith::des::Path;

bool FindPath(const char* name, Path& path) {
  for (Path candidate : ovalith::des::kAllPaths)
    if (std::strcmp(ovalith::des::PathName(candidate), name) == 0 &&
        ovalith::des::PathAvailable(candidate)) {
      path = candidate;
      return true;
    }
  return false;
}

bool ReadAll(const char* name, std::vector<unsigned char>& data) {
  std::FILE* f = std::fopen(name, "rb");
  if (!f) return false;
  unsigned char buf[65536];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
    data.insert(data.end(), buf, buf + n);
  std::fclose(f);
  return true;
}

bool WriteAll(const char* name, const std::vector<unsigned char>& data) {
  std::FILE* f = std::fopen(name, "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

bool Key(const char* hex, unsigned char key[8]) {
  if (std::strlen(hex) != 16) return false;
  for (int i = 0; i < 8; ++i) {
    char byte[3] = {hex[2 * i], hex[2 * i + 1], 0};
    key[i] = static_cast<unsigned char>(std::strtoul(byte, nullptr, 16));
  }
  return true;
}

int Bench(Path path, int mib) {
  std::vector<unsigned char> data(static_cast<std::size_t>(mib) << 20);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<unsigned char>(i * 131);
  const unsigned char key[8] = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
  for (bool decrypt : {false, true}) {
    auto start = std::chrono::steady_clock::now();
    ovalith::des::Crypt(path, decrypt, data.data(), data.data(), key,
                        data.size() / 8);
    std::chrono::duration<double> took =
        std::chrono::steady_clock::now() - start;
    std::printf("%s %s: %.1f MB/s\n", ovalith::des::PathName(path),
                decrypt ? "decrypt" : "encrypt",
                static_cast<double>(data.size()) / took.count() / 1e6);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Path path;
  if (argc < 2 || !FindPath(argv[1], path)) {
    std::fprintf(stderr, "des_paths_wasm_check: no such path\n");
    return 2;
  }
  if (argc == 4 && std::strcmp(argv[2], "bench") == 0)
    return Bench(path, std::atoi(argv[3]));
  if ((argc - 2) % 4 != 0) {
    std::fprintf(stderr, "des_paths_wasm_check: PATH (KEYHEX e|d IN OUT)...\n");
    return 2;
  }
  for (int i = 2; i < argc; i += 4) {
    unsigned char key[8];
    std::vector<unsigned char> data;
    if (!Key(argv[i], key) || !ReadAll(argv[i + 2], data)) {
      std::fprintf(stderr, "des_paths_wasm_check: cannot read %s\n",
                   argv[i + 2]);
      return 2;
    }
    ovalith::des::Crypt(path, argv[i + 1][0] == 'd', data.data(), data.data(),
                        key, data.size() / 8);
    if (!WriteAll(argv[i + 3], data)) return 2;
  }
  return 0;
}
