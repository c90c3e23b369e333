// block_type.h: BlockType, the 8-byte block that every cipher call and every
// container record is made of.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ovalith {

struct BlockType {
  static constexpr std::size_t kSize = 8;
  std::array<std::uint8_t, kSize> bytes{};

  // The first 8 characters of text, filled up with spaces.
  static BlockType FromText(std::string_view text) {
    BlockType block;
    block.bytes.fill(' ');
    for (std::size_t i = 0; i < kSize && i < text.size(); ++i)
      block.bytes[i] = static_cast<std::uint8_t>(text[i]);
    return block;
  }

  std::string Text() const { return std::string(bytes.begin(), bytes.end()); }
  std::uint8_t* data() { return bytes.data(); }
  const std::uint8_t* data() const { return bytes.data(); }

  friend bool operator==(const BlockType&, const BlockType&) = default;
};

}  // namespace ovalith
