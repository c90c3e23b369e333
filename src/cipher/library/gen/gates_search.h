// gates_search.h: a DES S-box as a circuit of two-input gates (AND, OR, XOR,
// ANDN), built by multiplexer splits on the inputs after a search for one,
// two or three new gates over the gates already built.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "truth_table.h"

namespace ovalith::sbox_gen {

enum class Op : std::uint8_t { kAnd, kOr, kXor, kAndNot };  // ~a & b

// Nodes 0..5 are the inputs, node 6 + i is gate i.
struct Gate {
  Op op;
  int a, b;
};

// A node, or its complement.
struct Lit {
  int node;
  bool neg;
};

struct GatesOptions {
  int look = 2;       // levels of splits tried every way, from the top
  bool three = true;  // look for three new gates before splitting
  int rounds = 2;     // of each output built again last
};

struct GatesCircuit {
  std::vector<Gate> gates;
  std::array<Lit, 4> outputs;
  // A NOT for each output left complemented.
  int Cost() const;
};

// One restart: the seed orders the inputs and the outputs.
GatesCircuit SearchGates(const std::array<Table, 4>& outputs,
                         std::uint64_t seed, const GatesOptions& options);

}  // namespace ovalith::sbox_gen
