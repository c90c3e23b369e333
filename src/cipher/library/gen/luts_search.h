// luts_search.h: a DES S-box as a circuit of three-input functions (one
// AVX-512 vpternlog each), built by multiplexer splits on the inputs after a
// search for one or two new functions over the nodes already built, then
// rebuilt a few outputs at a time over the rest.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "truth_table.h"

namespace ovalith::sbox_gen {

// Nodes 0..5 are the inputs, node 6 + i is function i.
struct Lut {
  Table value;
  std::vector<int> inputs;  // two or three nodes
};

struct LutsOptions {
  int look = 2;     // levels of splits tried every way, from the top
  bool two = true;  // look for two new functions before splitting
};

struct LutsCircuit {
  std::vector<Lut> luts;
  // Output q's slice takes the XOR of a function of these nodes: one node,
  // or two folded into the XOR.
  std::array<std::vector<int>, 4> outputs;
  // The output XORs included.
  int Cost() const { return static_cast<int>(luts.size()) + 4; }
};

// The circuit of seed, then with each of rebuilds (as RebuildLuts gave
// them) made in turn.
LutsCircuit SearchLuts(const std::array<Table, 4>& outputs, std::uint64_t seed,
                       const LutsOptions& options,
                       const std::vector<std::uint64_t>& rebuilds = {});

// Tries to make seed's circuit smaller by building one, two or three of its
// outputs again over the rest, trial after trial until patience trials in a
// row save nothing; then again, keeping also the rebuilds that leave the size
// as it is.  Returns the trials kept, up to the last that saved something.
std::vector<std::uint64_t> RebuildLuts(const std::array<Table, 4>& outputs,
                                       std::uint64_t seed,
                                       const LutsOptions& options,
                                       std::uint64_t patience);

}  // namespace ovalith::sbox_gen
