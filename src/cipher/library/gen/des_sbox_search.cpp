// des_sbox_search: the search core of des_sbox_gen.py, which hands it the
// four output tables of one S-box (hex, bit k the output for input k, input
// bit i of k being S-box input i, the first one 0).
//
//   des_sbox_search best gates FIRST_SEED COUNT T0 T1 T2 T3
//     prints the seed of the smallest circuit among COUNT restarts (the
//     first among equals) and its cost;
//   des_sbox_search best luts FIRST_SEED COUNT TOP PATIENCE T0 T1 T2 T3
//     the same, the TOP restarts' circuits rebuilt first until PATIENCE
//     rebuilds in a row save nothing (see RebuildLuts); the seed is then
//     written with the rebuilds kept, "SEED+TRIAL+TRIAL...";
//   des_sbox_search circuit gates|luts SEED T0 T1 T2 T3
//     prints that seed's circuit, a line per gate or function, then a line
//     per output.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "gates_search.h"
#include "luts_search.h"

namespace {

using namespace ovalith::sbox_gen;

// A three-input circuit's seed: the restart's, then its rebuilds.
struct LutsSeed {
  std::uint64_t seed = 0;
  std::vector<std::uint64_t> rebuilds;
};

LutsSeed ParseLutsSeed(const char* text) {
  LutsSeed parsed;
  char* end = nullptr;
  parsed.seed = std::strtoull(text, &end, 10);
  while (*end == '+')
    parsed.rebuilds.push_back(std::strtoull(end + 1, &end, 10));
  return parsed;
}

std::string Format(const LutsSeed& seed) {
  std::string text = std::to_string(seed.seed);
  for (std::uint64_t trial : seed.rebuilds) text += "+" + std::to_string(trial);
  return text;
}

LutsCircuit Luts(const std::array<Table, 4>& tables, const LutsSeed& seed) {
  return SearchLuts(tables, seed.seed, LutsOptions{}, seed.rebuilds);
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

// The seed of the smallest circuit among count restarts from first (the
// first among equals); for three-input circuits, the top ones rebuilt with
// that patience first.
std::string Best(bool gates, const std::array<Table, 4>& tables,
                 std::uint64_t first, std::uint64_t count, std::size_t top,
                 std::uint64_t patience, int& best) {
  std::vector<std::pair<int, std::uint64_t>> costs;
  for (std::uint64_t seed = first; seed < first + count; ++seed)
    costs.emplace_back(gates ? SearchGates(tables, seed, GatesOptions{}).Cost()
                             : Luts(tables, {seed, {}}).Cost(),
                       seed);
  std::stable_sort(
      costs.begin(), costs.end(),
      [](const auto& a, const auto& b) { return a.first < b.first; });
  best = costs[0].first;
  std::string best_seed = std::to_string(costs[0].second);
  if (gates) return best_seed;
  for (std::size_t i = 0; i < top && i < costs.size(); ++i) {
    const LutsSeed seed{costs[i].second, RebuildLuts(tables, costs[i].second,
                                                     LutsOptions{}, patience)};
    const int cost = Luts(tables, seed).Cost();
    if (cost < best) {
      best = cost;
      best_seed = Format(seed);
    }
  }
  return best_seed;
}

int Usage() {
  std::fprintf(stderr,
               "usage: des_sbox_search best gates FIRST COUNT T0..T3\n"
               "       des_sbox_search best luts FIRST COUNT TOP PATIENCE "
               "T0..T3\n"
               "       des_sbox_search circuit gates|luts SEED T0..T3\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string verb = argv[1], kind = argv[2];
  if (kind != "gates" && kind != "luts") return Usage();
  const bool gates = kind == "gates";
  const int tables_at = verb == "circuit" ? 4 : gates ? 5 : 7;
  if ((verb != "best" && verb != "circuit") || argc != tables_at + 4)
    return Usage();
  std::array<Table, 4> tables{};
  for (int q = 0; q < 4; ++q)
    tables[q] = std::strtoull(argv[tables_at + q], nullptr, 16);
  if (verb == "circuit") {
    if (gates)
      Print(SearchGates(tables, std::strtoull(argv[3], nullptr, 10),
                        GatesOptions{}));
    else
      Print(Luts(tables, ParseLutsSeed(argv[3])));
    return 0;
  }
  int best = 0;
  const std::string seed =
      Best(gates, tables, std::strtoull(argv[3], nullptr, 10),
           std::strtoull(argv[4], nullptr, 10),
           gates ? 0 : std::strtoull(argv[5], nullptr, 10),
           gates ? 0 : std::strtoull(argv[6], nullptr, 10), best);
  std::printf("%s %d\n", seed.c_str(), best);
  return 0;
}
