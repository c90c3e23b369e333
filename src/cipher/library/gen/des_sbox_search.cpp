// des_sbox_search: the search core of des_sbox_gen.py, which hands it the
// four output tables of one S-box (hex, bit k the output for input k, input
// bit i of k being S-box input i, the first one 0).
//
//   des_sbox_search best gates|luts FIRST_SEED COUNT T0 T1 T2 T3
//     prints the seed of the smallest circuit among COUNT restarts (the
//     first among equals) and its cost;
//   des_sbox_search circuit gates|luts SEED T0 T1 T2 T3
//     prints that seed's circuit, a line per gate or function, then a line
//     per output.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gates_search.h"
#include "luts_search.h"

namespace {

using namespace ovalith::sbox_gen;

int Cost(bool gates, const std::array<Table, 4>& tables, std::uint64_t seed) {
  return gates ? SearchGates(tables, seed, GatesOptions{}).Cost()
               : SearchLuts(tables, seed, LutsOptions{}).Cost();
}

void Print(const GatesCircuit& circuit) {
  static const char* const kOps[] = {"and", "or", "xor", "andn"};
  for (const Gate& g : circuit.gates)
    std::printf("gate %s %d %d\n", kOps[static_cast<int>(g.op)], g.a, g.b);
  for (int q = 0; q < 4; ++q)
    std::printf("output %d %d %d\n", q, circuit.outputs[q].node,
                circuit.outputs[q].neg ? 1 : 0);
}

void Print(const LutsCircuit& circuit) {
  for (const Lut& lut : circuit.luts) {
    std::printf("lut %016llx", static_cast<unsigned long long>(lut.value));
    for (int input : lut.inputs) std::printf(" %d", input);
    std::printf("\n");
  }
  for (int q = 0; q < 4; ++q) {
    std::printf("output %d", q);
    for (int input : circuit.outputs[q]) std::printf(" %d", input);
    std::printf("\n");
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: des_sbox_search best gates|luts FIRST COUNT T0..T3\n"
               "       des_sbox_search circuit gates|luts SEED T0..T3\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string verb = argv[1];
  const int tables_at = verb == "best" ? 5 : 4;
  if ((verb != "best" && verb != "circuit") || argc != tables_at + 4)
    return Usage();
  const std::string kind = argv[2];
  if (kind != "gates" && kind != "luts") return Usage();
  const bool gates = kind == "gates";
  std::array<Table, 4> tables{};
  for (int q = 0; q < 4; ++q)
    tables[q] = std::strtoull(argv[tables_at + q], nullptr, 16);
  const std::uint64_t first = std::strtoull(argv[3], nullptr, 10);
  if (verb == "circuit") {
    if (gates)
      Print(SearchGates(tables, first, GatesOptions{}));
    else
      Print(SearchLuts(tables, first, LutsOptions{}));
    return 0;
  }
  const std::uint64_t count = std::strtoull(argv[4], nullptr, 10);
  std::uint64_t best_seed = first;
  int best = -1;
  for (std::uint64_t seed = first; seed < first + count; ++seed) {
    const int cost = Cost(gates, tables, seed);
    if (best < 0 || cost < best) {
      best = cost;
      best_seed = seed;
    }
  }
  std::printf("%llu %d\n", static_cast<unsigned long long>(best_seed), best);
  return 0;
}
