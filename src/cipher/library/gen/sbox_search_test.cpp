// The searches on functions other than the DES S-boxes' (which the
// generator's check covers): outputs that are inputs, complements, equal to
// each other, and random ones.  Each circuit is evaluated here on its own.
#include <gtest/gtest.h>

#include "gates_search.h"
#include "luts_search.h"

namespace ovalith::sbox_gen {
namespace {

std::vector<Table> GateValues(const GatesCircuit& circuit) {
  std::vector<Table> values(kInputs, kInputs + 6);
  for (const Gate& g : circuit.gates) {
    EXPECT_LT(g.a, static_cast<int>(values.size()));
    EXPECT_LT(g.b, static_cast<int>(values.size()));
    const Table a = values[g.a], b = values[g.b];
    switch (g.op) {
      case Op::kAnd:
        values.push_back(a & b);
        break;
      case Op::kOr:
        values.push_back(a | b);
        break;
      case Op::kXor:
        values.push_back(a ^ b);
        break;
      case Op::kAndNot:
        values.push_back(~a & b);
        break;
    }
  }
  return values;
}

// True when t takes one value on each combination of the inputs' values.
bool IsFunctionOf(const std::vector<Table>& values,
                  const std::vector<int>& inputs, Table t) {
  for (int k = 0; k < (1 << inputs.size()); ++k) {
    Table where = kFull;
    for (std::size_t i = 0; i < inputs.size(); ++i)
      where &= (k >> i) & 1 ? values[inputs[i]] : ~values[inputs[i]];
    if ((where & t) && (where & ~t)) return false;
  }
  return true;
}

void ExpectLuts(const std::array<Table, 4>& tables, const LutsCircuit& luts) {
  std::vector<Table> lut_values(kInputs, kInputs + 6);
  for (const Lut& lut : luts.luts) {
    ASSERT_GE(lut.inputs.size(), 1u);
    ASSERT_LE(lut.inputs.size(), 3u);
    for (int input : lut.inputs)
      ASSERT_LT(input, static_cast<int>(lut_values.size()));
    EXPECT_TRUE(IsFunctionOf(lut_values, lut.inputs, lut.value));
    lut_values.push_back(lut.value);
  }
  for (int q = 0; q < 4; ++q) {
    ASSERT_GE(luts.outputs[q].size(), 1u);
    ASSERT_LE(luts.outputs[q].size(), 2u);  // the slice is the third input
    EXPECT_TRUE(IsFunctionOf(lut_values, luts.outputs[q], tables[q])) << q;
  }
}

void ExpectCircuits(const std::array<Table, 4>& tables, std::uint64_t seed,
                    int look = 2) {
  GatesOptions gates_options;
  gates_options.look = look;
  const GatesCircuit gates = SearchGates(tables, seed, gates_options);
  const std::vector<Table> values = GateValues(gates);
  int nots = 0;
  for (int q = 0; q < 4; ++q) {
    const Lit out = gates.outputs[q];
    EXPECT_EQ(values[out.node] ^ (out.neg ? kFull : 0), tables[q]) << q;
    nots += out.neg;
  }
  EXPECT_EQ(gates.Cost(), static_cast<int>(gates.gates.size()) + nots);

  LutsOptions luts_options;
  luts_options.look = look;
  ExpectLuts(tables, SearchLuts(tables, seed, luts_options));
}

TEST(SboxSearch, InputsComplementsAndRepeatedOutputs) {
  ExpectCircuits(
      {kInputs[0], ~kInputs[3], kInputs[1] ^ kInputs[5], ~kInputs[3]}, 1);
  ExpectCircuits({kInputs[2] & kInputs[4], ~(kInputs[2] & kInputs[4]),
                  kInputs[0] | ~kInputs[1], kInputs[2] & kInputs[4]},
                 2);
}

// Of five inputs and without look-ahead, to stay quick.
std::array<Table, 4> RandomFunctions(Rng& rng) {
  std::array<Table, 4> tables;
  for (Table& t : tables) {
    const Table low = rng.Next() & 0xFFFFFFFFu;
    t = low | low << 32;
  }
  return tables;
}

TEST(SboxSearch, RandomFunctions) {
  Rng rng(7);
  for (std::uint64_t seed = 0; seed < 3; ++seed)
    ExpectCircuits(RandomFunctions(rng), seed, 0);
}

// The rebuilds that were kept, made again from the seed alone, give a
// circuit as right and smaller; among them are some that kept the size and
// led on to a smaller one.
TEST(SboxSearch, RebuildsMadeAgainFromTheSeed) {
  Rng rng(8);
  const std::array<Table, 4> tables = RandomFunctions(rng);
  LutsOptions options;
  options.look = 0;
  const std::vector<std::uint64_t> rebuilds =
      RebuildLuts(tables, 0, options, 14);
  ASSERT_FALSE(rebuilds.empty());
  const LutsCircuit rebuilt = SearchLuts(tables, 0, options, rebuilds);
  ExpectLuts(tables, rebuilt);
  const int saved = SearchLuts(tables, 0, options).Cost() - rebuilt.Cost();
  EXPECT_GT(saved, 0);
  EXPECT_GT(static_cast<int>(rebuilds.size()), saved);
  // Level rebuilds are recorded only up to the last one that saved.
  const std::vector<std::uint64_t> but_last(rebuilds.begin(),
                                            rebuilds.end() - 1);
  EXPECT_LT(rebuilt.Cost(), SearchLuts(tables, 0, options, but_last).Cost());
}

}  // namespace
}  // namespace ovalith::sbox_gen
