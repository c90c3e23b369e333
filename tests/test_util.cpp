#include "test_util.h"

// OpenSSL's single-DES functions are deprecated but exactly what an oracle
// for single DES needs.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace ovalith::test {

TempDir::TempDir() {
  char pattern[] = "/tmp/ovalith-test-XXXXXX";
  if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  old_cwd_ = fs::current_path().string();
  fs::current_path(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::current_path(old_cwd_, ignored);
  // Tests make directories read-only; give them back before removing.
  for (auto it = fs::recursive_directory_iterator(path_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored))
    if (it->is_directory(ignored) && !it->is_symlink(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add,
                      ignored);
  fs::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream data;
  data << in.rdbuf();
  return data.str();
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string data(size, '\0');
  for (char& c : data) c = static_cast<char>(random() & 0xff);
  return data;
}

std::string KeyOf(const std::string& password) {
  std::string padded = password;
  if (padded.empty() || padded.size() % 8 != 0)
    padded.append(8 - padded.size() % 8, ' ');
  std::string key(8, ' ');
  for (std::size_t i = 0; i < padded.size(); ++i) key[i % 8] ^= padded[i];
  return key;
}

std::string DesEcb(const std::string& data, const std::string& key,
                   bool encrypt) {
  DES_cblock k;
  std::copy(key.begin(), key.begin() + 8, k);
  DES_key_schedule schedule;
  DES_set_key_unchecked(&k, &schedule);
  std::string out(data.size() / 8 * 8, '\0');
  for (std::size_t i = 0; i < out.size(); i += 8) {
    DES_cblock in, result;
    std::copy(data.begin() + i, data.begin() + i + 8, in);
    DES_ecb_encrypt(&in, &result, &schedule,
                    encrypt ? DES_ENCRYPT : DES_DECRYPT);
    std::copy(result, result + 8, out.begin() + i);
  }
  return out;
}

std::string DesEncrypt(const std::string& block, const std::string& key) {
  return DesEcb(block.substr(0, 8), key, true);
}

std::string DesDecrypt(const std::string& block, const std::string& key) {
  return DesEcb(block.substr(0, 8), key, false);
}

std::string EncryptBlocks(const std::string& plain_blocks,
                          const std::string& password) {
  std::string key = KeyOf(password);
  std::string out;
  for (std::size_t i = 0; i + 8 <= plain_blocks.size(); i += 8)
    out += DesEncrypt(plain_blocks.substr(i, 8), key);
  return out;
}

std::string ExpectedContainer(const std::string& plain,
                              const std::string& extension,
                              const std::string& password) {
  std::string blocks =
      ("Ov2" + extension.substr(0, 5) + "        ").substr(0, 8);
  blocks += plain;
  std::size_t last = plain.size() % 8;
  if (last != 0) blocks.append(8 - last, ' ');
  int count = plain.empty() ? 0 : (last == 0 ? 8 : static_cast<int>(last));
  blocks += "Ov2End." + std::to_string(count);
  return EncryptBlocks(blocks, password);
}

}  // namespace ovalith::test
