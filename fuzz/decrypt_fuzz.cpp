// decrypt_fuzz.cpp: libFuzzer target over decrypting arbitrary containers
// through the scripted front end on the in-memory system.  Each input becomes a
// password, a listed name and the container's bytes (either as stored, or as
// plain blocks that are encrypted first, so that headers and trailers of every
// kind get past the password check).  The run must not crash, and must write
// nothing but one regular file beside the container.
//
// Input layout: flags, password length, password, name length, name, rest.
//   flags bit 0: the rest is plain blocks, encrypted under the password
//   flags bit 1: answer No to the overwrite question instead of Yes
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <type_traits>

#include "cipher/cipher_abi.h"
#include "memory_system.h"
#include "protect/key_folding.h"
#include "scripted_view.h"
#include "test_util.h"
#include "ui/frm_main.h"

namespace {

using ovalith::Answer;

void Des(const unsigned char* in, unsigned char* out, const unsigned char* key,
         bool encrypting) {
  const std::string block(reinterpret_cast<const char*>(in), 8);
  const std::string result = ovalith::test::DesEcb(
      block, std::string(reinterpret_cast<const char*>(key), 8), encrypting);
  std::memcpy(out, result.data(), 8);
}

void Encrypt(const unsigned char* in, unsigned char* out,
             const unsigned char* key) {
  Des(in, out, key, true);
}
void Decrypt(const unsigned char* in, unsigned char* out,
             const unsigned char* key) {
  Des(in, out, key, false);
}
int DecryptMany(const unsigned char* in, unsigned char* out,
                const unsigned char* key, size_t count) {
  for (size_t i = 0; i < count; ++i) Decrypt(in + 8 * i, out + 8 * i, key);
  return OVALITH_OK;
}
static_assert(std::is_same_v<decltype(&Encrypt), ovalith_block_fn>);
static_assert(std::is_same_v<decltype(&DecryptMany), ovalith_blocks_fn>);

// The cipher linked in: loading a library for every input would be slow
// and is tested elsewhere.
class FuzzSystem : public ovalith::test::MemorySystem {
 public:
  using MemorySystem::MemorySystem;
  void* LoadLibrary(const std::string&) override { return this; }
  void* FindEntryPoint(void*, const char* name) override {
    std::string entry = name;
    if (entry == "encrypt") return reinterpret_cast<void*>(&Encrypt);
    if (entry == "decrypt") return reinterpret_cast<void*>(&Decrypt);
    if (entry == "decrypt_blocks") return reinterpret_cast<void*>(&DecryptMany);
    return nullptr;
  }
};

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size)
      : data_(data), size_(size) {}
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::string Bytes(std::size_t n) {
    n = std::min(n, size_ - pos_);
    std::string text(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return text;
  }
  std::string Rest() { return Bytes(size_ - pos_); }

 private:
  const std::uint8_t* data_;
  std::size_t size_, pos_ = 0;
};

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "escape check failed: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  Reader in(data, size);
  std::uint8_t flags = in.Byte();
  std::string password = in.Bytes(in.Byte() % 21);
  // The listed name: "<stem>.ov2", or "ov2" for an empty stem, so that the
  // program takes it for a container.  A stem cannot hold "/", NUL or ".".
  std::string stem = in.Bytes(in.Byte() % 16);
  for (char& c : stem)
    if (c == '/' || c == '\0' || c == '.') c = '_';
  std::string name = stem.empty() ? "ov2" : stem + ".ov2";
  std::string container = in.Rest();
  if (flags & 1) {
    // Plain blocks in, encrypted under the key the run will fold.
    ovalith::BlockType key = ovalith::FoldKey(password);
    for (std::size_t i = 0; i + 8 <= container.size(); i += 8) {
      auto* block = reinterpret_cast<unsigned char*>(container.data() + i);
      Encrypt(block, block, key.bytes.data());
    }
  }

  // Everything in memory: a run per input touches no disk.
  FuzzSystem system({"/root/work/" + name, "/pw=" + password});
  system.MakeDirectory("/root/work/sub");
  system.MakeDirectory("/root/sibling");
  system.Write("/root/sibling/keep", "sibling");
  system.Write("/root/keep", "parent");
  system.Write("/root/work/sub/keep", "child");
  system.Write("/root/work/" + name, container);
  std::map<std::string, std::string> before = system.Snapshot();

  ovalith::ScriptedView view;
  view.Answer((flags & 2) ? Answer::No : Answer::Yes);
  ovalith::RunProgram(system, view);

  // At most one entry may be new or changed: a regular file directly in
  // the working directory, not a leftover temporary one.
  std::map<std::string, std::string> after = system.Snapshot();
  int changed = 0;
  for (const auto& [path, content] : after) {
    auto old = before.find(path);
    if (old != before.end() && old->second == content) continue;
    ++changed;
    Check(path.starts_with("/root/work/"), "written outside the directory");
    Check(path.find('/', 11) == std::string::npos, "written into a subdir");
    Check(!system.IsDirectory(path), "not a regular file");
    Check(path.find(".ovalith-partial-") == std::string::npos,
          "temporary file left");
  }
  Check(changed <= 1, "more than one file written");
  for (const auto& [path, content] : before)
    Check(after.count(path) == 1, "an entry disappeared");
  return 0;
}
