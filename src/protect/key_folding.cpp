#include "protect/key_folding.h"

#include "platform/failure.h"

namespace ovalith {

std::string XorS(std::string_view Str1, std::string_view Str2) {
  if (Str2.size() < Str1.size())
    throw Failure("XorS: second text shorter than the first");
  std::string result(Str1.size(), '\0');
  for (std::size_t i = 0; i < Str1.size(); ++i)
    result[i] = static_cast<char>(Str1[i] ^ Str2[i]);
  return result;
}

BlockType FoldKey(std::string_view password) {
  std::string key(BlockType::kSize, ' ');
  std::string_view rest = password;
  while (rest.size() > BlockType::kSize) {
    key = XorS(key, rest.substr(0, BlockType::kSize));
    rest.remove_prefix(BlockType::kSize);
  }
  key = XorS(key, std::string(rest) + std::string(BlockType::kSize, ' '));
  return BlockType::FromText(key);
}

}  // namespace ovalith
