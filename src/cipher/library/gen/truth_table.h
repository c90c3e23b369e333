// truth_table.h: truth tables of six-input functions and the seeded choices
// the S-box circuit searches make.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace ovalith::sbox_gen {

// Bit k is the function's value where input i is bit i of k.
using Table = std::uint64_t;

constexpr Table kFull = ~Table{0};

// Input i as a table; input 0 is the S-box's first (most significant) bit.
constexpr Table kInputs[6] = {0xAAAAAAAAAAAAAAAAull, 0xCCCCCCCCCCCCCCCCull,
                              0xF0F0F0F0F0F0F0F0ull, 0xFF00FF00FF00FF00ull,
                              0xFFFF0000FFFF0000ull, 0xFFFFFFFF00000000ull};

// True where t differs between two points of care that differ in input x
// alone: a split on x has something to do.
inline bool DependsOn(Table t, Table care, int x) {
  const int shift = 1 << x;
  const Table c0 = care & ~kInputs[x], c1 = care & kInputs[x];
  return ((((t & c0) << shift) ^ (t & c1)) & (c0 << shift) & c1) != 0;
}

// The inputs of order t depends on within care, in that order; t must not
// be constant on care (the searches find a built node for that first).
inline std::vector<int> SplitInputs(Table t, Table care,
                                    const std::vector<int>& order) {
  std::vector<int> inputs;
  for (int x : order)
    if (DependsOn(t, care, x)) inputs.push_back(x);
  if (inputs.empty()) {
    std::fprintf(stderr, "nothing to split on\n");
    std::abort();
  }
  return inputs;
}

inline std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// splitmix64: the same choices from the same seed on every machine.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() { return Mix(state_ += 0x9E3779B97F4A7C15ull); }
  int Below(int n) { return static_cast<int>(Next() % n); }
  bool Coin() { return (Next() >> 63) != 0; }
  template <class T>
  void Shuffle(std::vector<T>& items) {
    for (int i = static_cast<int>(items.size()) - 1; i > 0; --i)
      std::swap(items[i], items[Below(i + 1)]);
  }

 private:
  std::uint64_t state_;
};

}  // namespace ovalith::sbox_gen
