#include "gates_search.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "cheapest.h"

namespace ovalith::sbox_gen {
namespace {

// An operand of a plan: a node, or the result of an earlier step.
struct Ref {
  int index;
  bool neg;
  bool step;
};

struct Step {
  bool is_xor;
  Ref a, b;
  bool neg;
};

// New gates found first and built after, so that looking costs nothing.
struct Plan {
  Ref result;
  int size = 0;
  std::array<Step, 3> steps{};
};

Plan OfNode(int node, bool neg) { return Plan{{node, neg, false}}; }

Plan OfStep(const Step& step) {
  Plan plan{{0, false, true}, 1};
  plan.steps[0] = step;
  return plan;
}

// plan's result combined with k in one more gate.
Plan Then(Plan plan, bool is_xor, Ref k, bool neg) {
  plan.steps[plan.size] = {is_xor, k, plan.result, neg};
  plan.result = {plan.size++, false, true};
  return plan;
}

Plan Both(const Step& a, const Step& b, bool is_xor, bool neg) {
  Plan plan{{2, false, true}, 3};
  plan.steps = {a, b, Step{is_xor, {0, false, true}, {1, false, true}, neg}};
  return plan;
}

struct Candidate {
  Table value;
  Step step;
};

Table Eval(Op op, Table a, Table b) {
  return op == Op::kAnd   ? a & b
         : op == Op::kOr  ? a | b
         : op == Op::kXor ? a ^ b
                          : ~a & b;
}

class Builder {
 public:
  Builder(std::uint64_t seed, const GatesOptions& options)
      : rng_(seed), options_(options), values_(kInputs, kInputs + 6) {}

  Rng& rng() { return rng_; }
  void set_mirror(int mirror) { mirror_ = mirror; }
  const std::vector<Gate>& gates() const { return gates_; }
  std::size_t Size() const { return gates_.size(); }
  void Load(const std::vector<Gate>& gates) {
    for (const Gate& g : gates) {
      gates_.push_back(g);
      values_.push_back(Eval(g.op, values_[g.a], values_[g.b]));
    }
  }
  Table Value(Lit l) const { return values_[l.node] ^ (l.neg ? kFull : 0); }

  Lit Build(Table t, Table care, const std::vector<int>& order, int look) {
    std::optional<Plan> plan = Find0(t, care);
    if (!plan) plan = Find1(t, care);
    if (!plan) plan = Find2(t, care);
    if (!plan && options_.three) plan = Find3(t, care);
    if (plan) return Apply(*plan);
    return SplitCheapest(*this, t, care, order, look, mirror_, rng_);
  }

 private:
  Lit Node(Op op, int a, int b) {
    const Table v = Eval(op, values_[a], values_[b]);
    for (int i = 0; i < static_cast<int>(values_.size()); ++i) {
      if (values_[i] == v) return {i, false};
      if (values_[i] == ~v) return {i, true};
    }
    gates_.push_back({op, a, b});
    values_.push_back(v);
    return {static_cast<int>(values_.size()) - 1, false};
  }

  Lit Xor(Lit a, Lit b) {
    Lit r = Node(Op::kXor, a.node, b.node);
    r.neg ^= a.neg ^ b.neg;
    return r;
  }

  Lit And(Lit a, Lit b) {
    if (!a.neg && !b.neg) return Node(Op::kAnd, a.node, b.node);
    if (a.neg && b.neg) {
      Lit r = Node(Op::kOr, a.node, b.node);
      r.neg = !r.neg;
      return r;
    }
    if (a.neg) return Node(Op::kAndNot, a.node, b.node);
    return Node(Op::kAndNot, b.node, a.node);
  }

  static Lit Not(Lit l) { return {l.node, !l.neg}; }
  Lit Or(Lit a, Lit b) { return Not(And(Not(a), Not(b))); }

  Lit Apply(const Plan& plan) {
    std::array<Lit, 3> built{};
    auto resolve = [&](Ref r) {
      Lit l = r.step ? built[r.index] : Lit{r.index, false};
      l.neg ^= r.neg;
      return l;
    };
    for (int i = 0; i < plan.size; ++i) {
      const Step& s = plan.steps[i];
      const Lit a = resolve(s.a), b = resolve(s.b);
      built[i] = s.is_xor ? Xor(a, b) : And(a, b);
      built[i].neg ^= s.neg;
    }
    return resolve(plan.result);
  }

  std::optional<Plan> Find0(Table t, Table care) const {
    for (int i = 0; i < static_cast<int>(values_.size()); ++i) {
      const Table d = (values_[i] ^ t) & care;
      if (d == 0) return OfNode(i, false);
      if (d == care) return OfNode(i, true);
    }
    return std::nullopt;
  }

  // One new gate over two built nodes.
  std::optional<Plan> Find1(Table t, Table care) const {
    const int n = static_cast<int>(values_.size());
    for (int i = 0; i < n; ++i) {
      const Table want = values_[i] ^ t;
      for (int j = i + 1; j < n; ++j) {
        const Table d = (want ^ values_[j]) & care;
        if (d == 0 || d == care)
          return OfStep({true, {i, false, false}, {j, false, false}, d != 0});
      }
    }
    // u = a & b on care: both cover u, and their AND nothing else.
    Candidate cover[256];
    for (bool neg : {false, true}) {
      const Table u = (neg ? ~t : t) & care, outside = care & ~u;
      int m = 0;
      for (int i = 0; i < n && m < 254; ++i) {
        const Table v = values_[i];
        if ((u & ~v) == 0)
          cover[m++] = {v & outside, {false, {i, false, false}, {}, false}};
        if ((u & v) == 0)
          cover[m++] = {~v & outside, {false, {i, true, false}, {}, false}};
      }
      for (int x = 0; x < m; ++x)
        for (int y = x + 1; y < m; ++y)
          if ((cover[x].value & cover[y].value) == 0 &&
              cover[x].step.a.index != cover[y].step.a.index)
            return OfStep({false, cover[x].step.a, cover[y].step.a, neg});
    }
    return std::nullopt;
  }

  // A built literal k combined with what finder finds for the rest.
  template <class Finder>
  std::optional<Plan> WithLiteral(Table t, Table care, Finder find) const {
    for (int i = 0; i < static_cast<int>(values_.size()); ++i) {
      for (bool kneg : {false, true}) {
        const Table kv = values_[i] ^ (kneg ? kFull : 0);
        const Ref k{i, kneg, false};
        if (!kneg)
          if (auto plan = find(t ^ kv, care))
            return Then(*plan, true, k, false);
        for (bool neg : {false, true}) {
          const Table u = neg ? ~t : t;
          if ((u & care & ~kv) == 0)  // u = k & the rest
            if (auto plan = find(u, care & kv))
              return Then(*plan, false, k, neg);
        }
      }
    }
    return std::nullopt;
  }

  std::optional<Plan> Find2(Table t, Table care) const {
    return WithLiteral(t, care,
                       [this](Table u, Table c) { return Find1(u, c); });
  }

  std::optional<Plan> Find3(Table t, Table care) const {
    if (auto plan = Pairs(t, care)) return plan;
    return WithLiteral(t, care,
                       [this](Table u, Table c) { return Find2(u, c); });
  }

  // Two new gates over built nodes and a third over those two.
  std::optional<Plan> Pairs(Table t, Table care) const {
    std::vector<Candidate> singles;
    const int n = static_cast<int>(values_.size());
    for (int i = 0; i < n; ++i) {
      for (int j = i + 1; j < n; ++j) {
        const Table a = values_[i], b = values_[j];
        const Ref ai{i, false, false}, bj{j, false, false};
        const Ref na{i, true, false}, nb{j, true, false};
        singles.push_back({(a & b) & care, {false, ai, bj, false}});
        singles.push_back({(a & ~b) & care, {false, ai, nb, false}});
        singles.push_back({(~a & b) & care, {false, na, bj, false}});
        singles.push_back({~(~a & ~b) & care, {false, na, nb, true}});
        singles.push_back({(a ^ b) & care, {true, ai, bj, false}});
      }
    }
    std::vector<Candidate> sorted = singles;
    std::sort(sorted.begin(), sorted.end(),
              [](const Candidate& x, const Candidate& y) {
                return x.value < y.value;
              });
    auto lookup = [&](Table v) -> const Candidate* {
      auto it = std::lower_bound(
          sorted.begin(), sorted.end(), v,
          [](const Candidate& c, Table value) { return c.value < value; });
      return it != sorted.end() && it->value == v ? &*it : nullptr;
    };
    for (const Candidate& c : singles) {
      for (bool neg : {false, true}) {
        if (const Candidate* d =
                lookup((c.value ^ t ^ (neg ? kFull : 0)) & care))
          return Both(c.step, d->step, true, neg);
      }
    }
    for (bool neg : {false, true}) {
      const Table u = (neg ? ~t : t) & care, outside = care & ~u;
      std::vector<Candidate> cover;
      for (const Candidate& c : singles) {
        if ((u & ~c.value) == 0) cover.push_back({c.value & outside, c.step});
        if ((u & c.value) == 0) {
          Step s = c.step;
          s.neg = !s.neg;
          cover.push_back({~c.value & outside, s});
        }
      }
      for (std::size_t x = 0; x < cover.size(); ++x)
        for (std::size_t y = x + 1; y < cover.size(); ++y)
          if ((cover[x].value & cover[y].value) == 0)
            return Both(cover[x].step, cover[y].step, false, neg);
    }
    return std::nullopt;
  }

 public:
  // t = f0 ^ (x & h), or its mirror on ~x: f0 right where x is off, h
  // where it is on.
  Lit Split(Table t, Table care, int x, bool mirror,
            const std::vector<int>& order, int look) {
    Table c0 = care & ~kInputs[x], c1 = care & kInputs[x];
    std::vector<int> rest;
    for (int y : order)
      if (y != x) rest.push_back(y);
    Lit on{x, false};
    if ((t & c0) == 0) return And(on, Build(t, c1, rest, look));
    if ((~t & c0) == 0) return Or(Not(on), Build(t, c1, rest, look));
    if ((t & c1) == 0) return And(Not(on), Build(t, c0, rest, look));
    if ((~t & c1) == 0) return Or(on, Build(t, c0, rest, look));
    if (mirror) {
      std::swap(c0, c1);
      on = Not(on);
    }
    // A built function right where x is off may serve as f0: the one
    // leaving least to build where it is on (f0 ^ h, f0 | h, f0 & ~h).
    struct Reuse {
      int extra;
      Lit f0;
      int form;
      Plan plan;
    };
    std::optional<Reuse> best;
    for (int i = 0;
         i < static_cast<int>(values_.size()) && !(best && best->extra == 0);
         ++i) {
      for (bool neg : {false, true}) {
        const Table fv = values_[i] ^ (neg ? kFull : 0);
        if ((fv ^ t) & c0) continue;
        for (int form = 0; form < 3; ++form) {
          Table target = t ^ fv, where = c1;
          if (form == 1) {
            if (fv & c1 & ~t) continue;
            target = t, where = c1 & ~fv;
          } else if (form == 2) {
            if (t & c1 & ~fv) continue;
            target = ~t, where = c1 & fv;
          }
          for (int extra = 0; extra < 2; ++extra) {
            if (best && extra >= best->extra) break;
            auto plan =
                extra == 0 ? Find0(target, where) : Find1(target, where);
            if (plan) {
              best = Reuse{extra, {i, neg}, form, *plan};
              break;
            }
          }
        }
      }
    }
    if (best) return Combine(best->f0, best->form, And(on, Apply(best->plan)));
    const Lit f0 = Build(t, c0, rest, look);
    const Table fv = Value(f0);
    // Where f0 already agrees with t, h need not care.
    if ((fv & c1 & ~t) == 0)
      return Combine(f0, 1, And(on, Build(t, c1 & ~fv, rest, look)));
    if ((t & c1 & ~fv) == 0)
      return Combine(f0, 2, And(on, Build(~t, c1 & fv, rest, look)));
    return Combine(f0, 0, And(on, Build(t ^ fv, c1, rest, look)));
  }

 private:
  Lit Combine(Lit f0, int form, Lit xh) {
    if (form == 0) return Xor(f0, xh);
    if (form == 1) return Or(f0, xh);
    return And(f0, Not(xh));
  }

  Rng rng_;
  GatesOptions options_;
  int mirror_ = 0;  // never, at a coin's toss, always
  std::vector<Gate> gates_;
  std::vector<Table> values_;
};

}  // namespace

int GatesCircuit::Cost() const {
  int nots = 0;
  for (const Lit& l : outputs) nots += l.neg;
  return static_cast<int>(gates.size()) + nots;
}

// Output q built again last, with the gates the others need already there
// (the first outputs built could not reuse the later ones' gates).
static GatesCircuit Rebuild(const GatesCircuit& circuit, int q, Table t,
                            Builder builder, const std::vector<int>& order,
                            int look) {
  const int inputs = 6, n = inputs + static_cast<int>(circuit.gates.size());
  std::vector<bool> needed(n, false);
  for (int r = 0; r < 4; ++r)
    if (r != q) needed[circuit.outputs[r].node] = true;
  for (int i = n - 1; i >= inputs; --i) {
    if (!needed[i]) continue;
    needed[circuit.gates[i - inputs].a] = needed[circuit.gates[i - inputs].b] =
        true;
  }
  std::vector<int> renamed(n);
  std::vector<Gate> kept;
  for (int i = 0; i < n; ++i) {
    if (i < inputs) {
      renamed[i] = i;
    } else if (needed[i]) {
      Gate g = circuit.gates[i - inputs];
      g.a = renamed[g.a], g.b = renamed[g.b];
      renamed[i] = inputs + static_cast<int>(kept.size());
      kept.push_back(g);
    }
  }
  builder.Load(kept);
  GatesCircuit rebuilt;
  for (int r = 0; r < 4; ++r)
    rebuilt.outputs[r] = {renamed[circuit.outputs[r].node],
                          circuit.outputs[r].neg};
  rebuilt.outputs[q] = builder.Build(t, kFull, order, look);
  rebuilt.gates = builder.gates();
  return rebuilt;
}

GatesCircuit SearchGates(const std::array<Table, 4>& outputs,
                         std::uint64_t seed, const GatesOptions& options) {
  Builder builder(seed, options);
  std::vector<int> order{0, 1, 2, 3, 4, 5}, qs{0, 1, 2, 3};
  builder.rng().Shuffle(order);
  builder.rng().Shuffle(qs);
  const int mirror = builder.rng().Below(3);
  builder.set_mirror(mirror);
  GatesCircuit circuit;
  for (int q : qs)
    circuit.outputs[q] = builder.Build(outputs[q], kFull, order, options.look);
  circuit.gates = builder.gates();
  for (int round = 0; round < options.rounds; ++round) {
    bool better = false;
    for (int q : qs) {
      Builder fresh(seed + 1000003u * (round * 4 + q + 1), options);
      fresh.set_mirror(mirror);
      GatesCircuit rebuilt =
          Rebuild(circuit, q, outputs[q], fresh, order, options.look);
      if (rebuilt.Cost() < circuit.Cost()) {
        circuit = rebuilt;
        better = true;
      }
    }
    if (!better) break;
  }
  Builder check(seed, options);
  check.Load(circuit.gates);
  for (int q = 0; q < 4; ++q) {
    if (check.Value(circuit.outputs[q]) != outputs[q]) {
      std::fprintf(stderr, "gates: output %d wrong\n", q);
      std::abort();
    }
  }
  return circuit;
}

}  // namespace ovalith::sbox_gen
