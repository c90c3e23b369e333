// test_util.h: temporary directories, whole-file reads and writes, and an
// independent DES (OpenSSL's) to build and read containers the way their
// layout describes them, for checking the program against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ovalith::test {

// A fresh directory that is the working directory for the life of the
// object; the old working directory comes back and the tree is removed
// afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path/name
  std::string operator/(const std::string& name) const {
    return path_ + "/" + name;
  }

 private:
  std::string path_;
  std::string old_cwd_;
};

void WriteFile(const std::string& path, const std::string& data);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Names in a directory, sorted, without "." and "..".
std::vector<std::string> ListDir(const std::string& dir);
// size bytes of repeatable pseudo-random data.
std::string RandomBytes(std::size_t size, unsigned seed = 1);

// The folded key of a password, computed from the closed form.
std::string KeyOf(const std::string& password);
// DES of one 8-byte block, by OpenSSL.
std::string DesEncrypt(const std::string& block, const std::string& key);
std::string DesDecrypt(const std::string& block, const std::string& key);
// DES-ECB of every whole 8-byte block of data, by OpenSSL, one key schedule
// for them all; weak keys and parity bits are accepted as DES has them.
std::string DesEcb(const std::string& data, const std::string& key,
                   bool encrypt);
// A container for plain data, built block by block from the layout:
// header "Ov2" + extension, data blocks padded with spaces, trailer with
// the count (0 for empty data).
std::string ExpectedContainer(const std::string& plain,
                              const std::string& extension,
                              const std::string& password);
// A container of the given plain blocks, each 8 bytes, encrypted as they
// are: for crafting damaged ones.
std::string EncryptBlocks(const std::string& plain_blocks,
                          const std::string& password);

}  // namespace ovalith::test
