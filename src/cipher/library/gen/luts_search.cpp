#include "luts_search.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "cheapest.h"

namespace ovalith::sbox_gen {
namespace {

// The cells into which the nodes' values cut care, one mask each.
int Cells(const Table* values, int count, Table care, Table* cells) {
  int n = 1;
  cells[0] = care;
  for (int i = 0; i < count; ++i) {
    for (int k = 0; k < n; ++k) {
      cells[n + k] = cells[k] & values[i];
      cells[k] &= ~values[i];
    }
    n *= 2;
  }
  return n;
}

bool Mixed(Table t, Table cell) { return (t & cell) && (~t & cell); }

bool IsFunctionOf(const std::vector<Table>& values,
                  const std::vector<int>& inputs, Table t) {
  Table picked[3], cells[8];
  for (std::size_t i = 0; i < inputs.size(); ++i) picked[i] = values[inputs[i]];
  const int n = Cells(picked, static_cast<int>(inputs.size()), kFull, cells);
  for (int k = 0; k < n; ++k)
    if (Mixed(t, cells[k])) return false;
  return true;
}

class Builder {
 public:
  Builder(std::uint64_t seed, const LutsOptions& options)
      : rng_(seed), options_(options), values_(kInputs, kInputs + 6) {}

  Rng& rng() { return rng_; }
  void Reseed(std::uint64_t seed) { rng_ = Rng(seed); }
  void set_mirror(int mirror) { mirror_ = mirror; }
  const std::vector<Lut>& luts() const { return luts_; }
  std::size_t Size() const { return luts_.size(); }
  const std::vector<Table>& values() const { return values_; }

  int Build(Table t, Table care, const std::vector<int>& order, int look) {
    if (int node = Find0(t, care); node >= 0) return node;
    std::vector<int> inputs;
    if (Find1(t, care, false, inputs)) return Add(inputs, t, care);
    if (options_.two) {
      std::vector<int> inner;
      Table inner_t, inner_care;
      if (Find2(t, care, inputs, inner, inner_t, inner_care)) {
        inputs.push_back(Add(inner, inner_t, inner_care));
        return Add(inputs, t, care);
      }
    }
    return SplitCheapest(*this, t, care, order, look, mirror_, rng_);
  }

  int Find0(Table t, Table care) const {
    for (int i = 0; i < static_cast<int>(values_.size()); ++i) {
      const Table d = (values_[i] ^ t) & care;
      if (d == 0 || d == care) return i;
    }
    return -1;
  }

  // The cells of nodes a and b within care where t is not constant.
  int MixedCells(int a, int b, Table t, Table care, Table* mixed) const {
    Table cells[4];
    const Table pair[2] = {values_[a], values_[b]};
    Cells(pair, 2, care, cells);
    int m = 0;
    for (Table cell : cells)
      if (Mixed(t, cell)) mixed[m++] = cell;
    return m;
  }

  // Two or three built nodes of which t is a function on care.
  bool Find1(Table t, Table care, bool pairs_only,
             std::vector<int>& inputs) const {
    const int n = static_cast<int>(values_.size());
    std::optional<std::array<int, 3>> three;
    for (int a = 0; a < n; ++a) {
      for (int b = a + 1; b < n; ++b) {
        Table mixed[4];
        const int m = MixedCells(a, b, t, care, mixed);
        if (m == 0) {
          inputs = {a, b};
          return true;
        }
        if (pairs_only || three) continue;
        for (int c = b + 1; c < n && !three; ++c) {
          const Table vc = values_[c] ^ t;
          int k = 0;
          while (k < m) {  // c must tell t from ~t in each mixed cell
            const Table d = vc & mixed[k];
            if (d && d != mixed[k]) break;
            ++k;
          }
          if (k == m) three = std::array<int, 3>{a, b, c};
        }
      }
    }
    if (!three) return false;
    inputs.assign(three->begin(), three->end());
    return true;
  }

 private:
  // t = f(a, b, g) with g a new function of built nodes: in each cell of
  // a and b where t is not constant, g must be t or its complement.
  bool Find2(Table t, Table care, std::vector<int>& outer,
             std::vector<int>& inner, Table& inner_t, Table& inner_care) const {
    const int n = static_cast<int>(values_.size());
    for (int a = 0; a < n; ++a) {
      for (int b = a + 1; b < n; ++b) {
        Table mixed[4];
        const int m = MixedCells(a, b, t, care, mixed);
        inner_care = 0;
        for (int k = 0; k < m; ++k) inner_care |= mixed[k];
        if (m > 0 && FindUpToPolarity(t, mixed, m, inner, inner_t)) {
          outer = {a, b};
          return true;
        }
      }
    }
    return false;
  }

  // Two or three built nodes of which t is a function on the classes, each
  // class's polarity free; target is t with those polarities.
  bool FindUpToPolarity(Table t, const Table* classes, int m,
                        std::vector<int>& inputs, Table& target) const {
    const int n = static_cast<int>(values_.size());
    for (int c = 0; c < n; ++c) {
      for (int d = c + 1; d < n; ++d) {
        const Table pair[2] = {values_[c], values_[d]};
        Table cells[8], mixed[16];
        Cells(pair, 2, kFull, cells);
        // Within a class the polarity is fixed: e must tell t from ~t on
        // each part of a cell and a class where t is not constant.
        int k = 0;
        for (int cell = 0; cell < 4; ++cell)
          for (int j = 0; j < m; ++j)
            if (Mixed(t, cells[cell] & classes[j]))
              mixed[k++] = cells[cell] & classes[j];
        if (k == 0 && Polarities(t, classes, m, cells, 4, target)) {
          inputs = {c, d};
          return true;
        }
        for (int e = d + 1; e < n; ++e) {
          const Table ve = values_[e] ^ t;
          int i = 0;
          while (i < k && ((ve & mixed[i]) == 0 || (ve & mixed[i]) == mixed[i]))
            ++i;
          if (i < k) continue;
          const Table triple[3] = {values_[c], values_[d], values_[e]};
          Cells(triple, 3, kFull, cells);
          if (Polarities(t, classes, m, cells, 8, target)) {
            inputs = {c, d, e};
            return true;
          }
        }
      }
    }
    return false;
  }

  // The polarities of the classes (the first one's kept) under which t is
  // constant on each cell within them.
  static bool Polarities(Table t, const Table* classes, int m,
                         const Table* cells, int count, Table& target) {
    Table where = 0;
    for (int j = 0; j < m; ++j) where |= classes[j];
    for (int flips = 0; flips < (1 << (m - 1)); ++flips) {
      target = t;
      for (int j = 1; j < m; ++j)
        if ((flips >> (j - 1)) & 1) target ^= classes[j];
      int cell = 0;
      while (cell < count && !Mixed(target, cells[cell] & where)) ++cell;
      if (cell == count) return true;
    }
    return false;
  }

  // A function of inputs equal to t on care (0 where care says nothing),
  // or the node that already has its value or its complement.
  int Add(const std::vector<int>& inputs, Table t, Table care) {
    Table picked[3], cells[8];
    for (std::size_t i = 0; i < inputs.size(); ++i)
      picked[i] = values_[inputs[i]];
    const int n = Cells(picked, static_cast<int>(inputs.size()), kFull, cells);
    Table value = 0;
    for (int k = 0; k < n; ++k)
      if (t & care & cells[k]) value |= cells[k];
    for (int i = 0; i < static_cast<int>(values_.size()); ++i)
      if (values_[i] == value || values_[i] == ~value) return i;
    luts_.push_back({value, inputs});
    values_.push_back(value);
    return static_cast<int>(values_.size()) - 1;
  }

 public:
  // t = f(x, f0, g): f0 right where x is off, g where it is on, as t or
  // t ^ f0 (each up to its complement).
  int Split(Table t, Table care, int x, bool mirror,
            const std::vector<int>& order, int look) {
    Table c0 = care & ~kInputs[x], c1 = care & kInputs[x];
    if (mirror) std::swap(c0, c1);
    std::vector<int> rest;
    for (int y : order)
      if (y != x) rest.push_back(y);
    if ((t & c0) == 0 || (~t & c0) == 0)
      return Add({x, Build(t, c1, rest, look)}, t, care);
    const int f0 = Build(t, c0, rest, look);
    const Table fv = values_[f0];
    for (Table target : {t, t ^ fv})
      if (int g = Find0(target, c1); g >= 0) return Add({x, f0, g}, t, care);
    const Table targets[2] = {t, t ^ fv};
    const int g =
        look > 0 ? Cheapest(*this, 2,
                            [&](Builder& trial, int i) {
                              return trial.Build(targets[i], c1, rest, look);
                            })
                 : Build(targets[rng_.Coin() ? 0 : 1], c1, rest, look);
    return Add({x, f0, g}, t, care);
  }

  // Drops the functions no output reaches (an output left empty is to be
  // built again), renumbering the rest.
  void Strip(std::array<std::vector<int>, 4>& outputs) {
    std::vector<bool> live(values_.size(), false);
    for (const std::vector<int>& nodes : outputs)
      for (int node : nodes) live[node] = true;
    for (int node = static_cast<int>(values_.size()) - 1; node >= kInputCount;
         --node)
      if (live[node])
        for (int input : luts_[node - kInputCount].inputs) live[input] = true;
    std::vector<int> renumbered(values_.size(), -1);
    std::vector<Lut> luts;
    for (int node = 0; node < static_cast<int>(values_.size()); ++node) {
      if (node < kInputCount) {
        renumbered[node] = node;
        continue;
      }
      if (!live[node]) continue;
      renumbered[node] = kInputCount + static_cast<int>(luts.size());
      Lut lut = luts_[node - kInputCount];
      for (int& input : lut.inputs) input = renumbered[input];
      luts.push_back(lut);
    }
    luts_ = luts;
    values_.assign(kInputs, kInputs + kInputCount);
    for (const Lut& lut : luts_) values_.push_back(lut.value);
    for (std::vector<int>& nodes : outputs)
      for (int& node : nodes) node = renumbered[node];
  }

 private:
  static constexpr int kInputCount = 6;
  Rng rng_;
  LutsOptions options_;
  int mirror_ = 0;  // never, at a coin's toss, always
  std::vector<Lut> luts_;
  std::vector<Table> values_;
};

}  // namespace

namespace {

// Builds t for an output: the nodes whose function the slice XORs in.
// Two nodes fold into that XOR: t itself, or t as a function of one of
// targets (an input or another output's node) a and a new node, right up to
// its complement on each half of a: whichever costs least.  Each a is tried
// without look-ahead; the best is built again with.
std::vector<int> BuildOutput(Builder& builder, Table t,
                             const std::vector<int>& order,
                             const std::vector<int>& targets, int look) {
  std::vector<int> inputs;
  if (int node = builder.Find0(t, kFull); node >= 0) return {node};
  if (builder.Find1(t, kFull, true, inputs)) return inputs;
  Builder best = builder;
  inputs = {best.Build(t, kFull, order, look)};
  std::size_t quick_best = ~std::size_t{0};
  Table best_target = 0, best_care = 0;
  int best_a = -1;
  for (int a : targets) {
    const Table va = builder.values()[a];
    Table care = 0;
    for (Table half : {va, ~va})
      if (Mixed(t, half)) care |= half;
    for (Table target : {t, t ^ va}) {
      Builder trial = builder;
      trial.Build(target, care, order, 0);
      if (trial.luts().size() < quick_best) {
        quick_best = trial.luts().size();
        best_a = a, best_target = target, best_care = care;
      }
    }
  }
  if (best_a >= 0) {
    Builder trial = builder;
    const int h = trial.Build(best_target, best_care, order, look);
    if (trial.luts().size() < best.luts().size()) {
      best = trial;
      inputs = {best_a, h};
    }
  }
  builder = best;
  return inputs;
}

// The inputs and the nodes the outputs read.
std::vector<int> Targets(const std::array<std::vector<int>, 4>& outputs) {
  std::vector<int> targets{0, 1, 2, 3, 4, 5};
  for (const std::vector<int>& nodes : outputs)
    for (int node : nodes) targets.push_back(node);
  return targets;
}

// A circuit in the making: the outputs' nodes, and the orders its seed
// chose.
struct Search {
  Builder builder;
  std::array<std::vector<int>, 4> outputs;
  std::vector<int> order, qs;
  // The sets of outputs a rebuild takes in turn: each one, two, three.
  std::vector<std::vector<int>> sets;
};

Search Start(const std::array<Table, 4>& tables, std::uint64_t seed,
             const LutsOptions& options) {
  Search search{
      Builder(seed, options), {}, {0, 1, 2, 3, 4, 5}, {0, 1, 2, 3}, {}};
  search.builder.rng().Shuffle(search.order);
  search.builder.rng().Shuffle(search.qs);
  search.builder.set_mirror(search.builder.rng().Below(3));
  for (int q : search.qs)
    search.outputs[q] = BuildOutput(search.builder, tables[q], search.order,
                                    Targets(search.outputs), options.look);
  for (int q : search.qs) search.sets.push_back({q});
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j)
      search.sets.push_back({search.qs[i], search.qs[j]});
  for (int q : search.qs) {
    search.sets.push_back({});
    for (int other : search.qs)
      if (other != q) search.sets.back().push_back(other);
  }
  return search;
}

// Rebuild number trial: its set of outputs built again over all the other
// nodes (the outputs built first never saw the later ones' nodes), in fresh
// orders; kept when smaller, or when no larger if level is.
bool Rebuild(Search& search, const std::array<Table, 4>& tables,
             std::uint64_t seed, std::uint64_t trial,
             const LutsOptions& options, bool level) {
  std::vector<int> set = search.sets[trial % search.sets.size()];
  Builder builder = search.builder;
  std::array<std::vector<int>, 4> outputs = search.outputs;
  for (int q : set) outputs[q].clear();
  builder.Strip(outputs);
  builder.Reseed(Mix(seed ^ Mix(trial + 1)));
  std::vector<int> order = search.order;
  builder.rng().Shuffle(order);
  builder.rng().Shuffle(set);
  builder.set_mirror(builder.rng().Below(3));
  for (int q : set)
    outputs[q] =
        BuildOutput(builder, tables[q], order, Targets(outputs), options.look);
  if (builder.Size() > search.builder.Size() ||
      (!level && builder.Size() == search.builder.Size()))
    return false;
  search.builder = std::move(builder);
  search.outputs = outputs;
  return true;
}

}  // namespace

LutsCircuit SearchLuts(const std::array<Table, 4>& tables, std::uint64_t seed,
                       const LutsOptions& options,
                       const std::vector<std::uint64_t>& rebuilds) {
  Search search = Start(tables, seed, options);
  for (std::uint64_t trial : rebuilds) {
    if (!Rebuild(search, tables, seed, trial, options, true)) {
      std::fprintf(stderr, "luts: rebuild %llu of seed %llu grows it\n",
                   static_cast<unsigned long long>(trial),
                   static_cast<unsigned long long>(seed));
      std::abort();
    }
  }
  for (int q = 0; q < 4; ++q) {
    if (!IsFunctionOf(search.builder.values(), search.outputs[q], tables[q])) {
      std::fprintf(stderr, "luts: output %d wrong\n", q);
      std::abort();
    }
  }
  return {search.builder.luts(), search.outputs};
}

std::vector<std::uint64_t> RebuildLuts(const std::array<Table, 4>& tables,
                                       std::uint64_t seed,
                                       const LutsOptions& options,
                                       std::uint64_t patience) {
  Search search = Start(tables, seed, options);
  std::vector<std::uint64_t> kept;
  std::size_t gained = 0;  // the rebuilds up to the last that saved
  // Rebuilds that only keep the size walk off a circuit no single rebuild
  // improves; they are tried once the smaller ones run out.
  for (bool level : {false, true}) {
    const std::uint64_t first = kept.empty() ? 0 : kept.back() + 1;
    for (std::uint64_t trial = first, last = first; trial < last + patience;
         ++trial) {
      const std::size_t size = search.builder.Size();
      if (!Rebuild(search, tables, seed, trial, options, level)) continue;
      kept.push_back(trial);
      if (search.builder.Size() < size) {
        gained = kept.size();
        last = trial + 1;
      }
    }
  }
  kept.resize(gained);
  return kept;
}

}  // namespace ovalith::sbox_gen
