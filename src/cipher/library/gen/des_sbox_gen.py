#!/usr/bin/env python3
"""Derives boolean circuits for the eight DES S-boxes and writes them as C++.

Two searches, each restarted from many seeds (a seed fixes the order of the
inputs and of the outputs and the coin flips below), the smallest circuit of
each S-box kept:

- Two-input gates (AND, OR, XOR, ANDN; a complement is free inside, as the
  choice among them), for SSE2, AVX2 and 64-bit words.  An output is built as
  a truth table that needs to be right only on a "care" set: first as a
  function already built (or its complement), then as one new gate over two
  built ones, then two new gates; only then is it split on an input x, as a
  multiplexer f = f0 ^ (x & h) (or its mirror on ~x): f0 needs to be right
  only where x is off and h only where it is on, so both may be functions
  already built.  The first splits try every input and both mirrors and keep
  the cheapest.
- Three-input functions (one AVX-512 vpternlog each), searched on their own
  the same way: a function of two or three built ones costs one, a
  multiplexer on x costs one, its two sides right only on their halves (the
  side where x is on as t or as t ^ f0, whichever is cheaper).  Each output's
  XOR into its slice is one more function, folded into the last one when
  that has two inputs.  Where covering the two-input circuit with
  three-input cuts gives fewer, that cover is taken instead.

Every circuit is checked against the table before it is written.  The seed of
each S-box's circuit is written beside it, so --check can rebuild the headers
from those seeds alone, in about a minute, and compare them with the files.

Usage: des_sbox_gen.py [--check | --from-seeds] [--restarts N] [--jobs N] \
           TWO_INPUT_HEADER TERNARY_HEADER
"""
import argparse
import collections
import multiprocessing
import random
import re
import sys

SBOXES = [
    [14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7,
     0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8,
     4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0,
     15, 12, 8, 2, 4, 9, 1, 7, 5, 11, 3, 14, 10, 0, 6, 13],
    [15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10,
     3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5,
     0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15,
     13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9],
    [10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8,
     13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1,
     13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7,
     1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12],
    [7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15,
     13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9,
     10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4,
     3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14],
    [2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9,
     14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6,
     4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14,
     11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3],
    [12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11,
     10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8,
     9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6,
     4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13],
    [4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1,
     13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6,
     1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2,
     6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12],
    [13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7,
     1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2,
     7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8,
     2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11],
]

FULL = (1 << 64) - 1
# Truth table of input x_i: bit t is set when bit i of t is.  x0 is the first
# (most significant) S-box input bit, x5 the last.
VARS = [sum(1 << t for t in range(64) if (t >> i) & 1) for i in range(6)]


def output_tables(sbox):
    tables = [0, 0, 0, 0]
    for t in range(64):
        x = [(t >> i) & 1 for i in range(6)]
        row = 2 * x[0] + x[5]
        col = 8 * x[1] + 4 * x[2] + 2 * x[3] + x[4]
        value = sbox[16 * row + col]
        for q in range(4):
            if (value >> (3 - q)) & 1:
                tables[q] |= 1 << t
    return tables


def split_inputs(t, care, order):
    """The inputs of order t depends on within care, in that order."""
    inputs = []
    for x in order:
        shift = 1 << x
        c0, c1 = care & ~VARS[x], care & VARS[x]
        if (((t & c0) << shift) ^ (t & c1)) & (c0 << shift) & c1:
            inputs.append(x)
    return inputs


def cheapest(circuit, tries):
    """Runs each try on a copy of circuit, keeps the copy that grew least
    (the first among equals) and returns what its try returned."""
    best = None
    for attempt in tries:
        trial = circuit.clone()
        result = attempt(trial)
        if best is None or trial.size() < best[0].size():
            best = (trial, result)
    circuit.adopt(best[0])
    return best[1]


def split_cheapest(circuit, t, care, order, look):
    """Splits t on an input: with look left, on each input both ways."""
    inputs = split_inputs(t, care, order)
    if look <= 0:
        return circuit.split(t, care, inputs[0],
                             circuit.rng.random() < circuit.mirror, order, 0)
    return cheapest(circuit, [
        lambda trial, x=x, mirror=mirror: trial.split(t, care, x, mirror,
                                                      order, look - 1)
        for x in inputs for mirror in (False, True)])


class Gates:
    """A circuit of two-input gates over the six inputs.  A function is
    reached as a literal: a node and whether it is complemented, so an AND of
    a complement is an ANDN and of two an OR."""

    def __init__(self, rng):
        self.rng = rng
        self.mirror = rng.choice([0.0, 0.5, 1.0])
        self.gates = []  # (op, a, b): operands are node numbers
        self.values = list(VARS)
        self.index = {v: i for i, v in enumerate(VARS)}

    def clone(self):
        other = Gates.__new__(Gates)
        other.__dict__.update(self.__dict__)
        other.gates, other.values = list(self.gates), list(self.values)
        other.index = dict(self.index)
        return other

    def adopt(self, other):
        self.gates, self.values, self.index = (other.gates, other.values,
                                               other.index)

    def size(self):
        return len(self.gates)

    def value(self, literal):
        return self.values[literal[0]] ^ (FULL if literal[1] else 0)

    def node(self, op, a, b):
        va, vb = self.values[a], self.values[b]
        value = {"and": va & vb, "or": va | vb, "xor": va ^ vb,
                 "andn": ~va & vb & FULL}[op]
        if value not in self.index:
            self.gates.append((op, a, b))
            self.values.append(value)
            self.index[value] = len(self.values) - 1
        return self.index[value]

    def xor(self, a, b):
        return (self.node("xor", a[0], b[0]), a[1] ^ b[1])

    def and_(self, a, b):
        if not a[1] and not b[1]:
            return (self.node("and", a[0], b[0]), False)
        if a[1] and b[1]:
            return (self.node("or", a[0], b[0]), True)
        if a[1]:
            return (self.node("andn", a[0], b[0]), False)
        return (self.node("andn", b[0], a[0]), False)

    def or_(self, a, b):
        node, negated = self.and_((a[0], not a[1]), (b[0], not b[1]))
        return (node, not negated)

    # A plan is ("lit", literal) or (op, plan, plan, complemented): found
    # first, then built, so that looking costs no gates.
    def apply(self, plan):
        if plan[0] == "lit":
            return plan[1]
        a, b = self.apply(plan[1]), self.apply(plan[2])
        node, negated = self.xor(a, b) if plan[0] == "xor" else self.and_(a, b)
        return (node, negated ^ plan[3])

    def find0(self, t, care):
        for i, v in enumerate(self.values):
            d = (v ^ t) & care
            if d == 0:
                return ("lit", (i, False))
            if d == care:
                return ("lit", (i, True))
        return None

    def find1(self, t, care):
        values = self.values
        seen = {}
        for i, v in enumerate(values):
            seen.setdefault(v & care, i)
        for i, v in enumerate(values):
            for target, negated in ((t, False), (~t, True)):
                j = seen.get((v ^ target) & care)
                if j is not None and j != i:
                    return ("xor", ("lit", (i, False)), ("lit", (j, False)),
                            negated)
        for u, negated in ((t & care, False), (~t & care, True)):
            # u = a & b on care: both cover u, and their AND nothing else.
            cover = []
            for i, v in enumerate(values):
                if u & ~v == 0:
                    cover.append((i, False, v))
                if u & v == 0:
                    cover.append((i, True, ~v & FULL))
            outside = care & ~u
            for x, (ia, na, va) in enumerate(cover):
                rest = va & outside
                for ib, nb, vb in cover[x + 1:]:
                    if ib != ia and rest & vb == 0:
                        return ("and", ("lit", (ia, na)), ("lit", (ib, nb)),
                                negated)
        return None

    def find2(self, t, care):
        for i, v in enumerate(self.values):
            for k, kv in (((i, False), v), ((i, True), ~v & FULL)):
                if not k[1]:
                    plan = self.find1(t ^ kv, care)
                    if plan:
                        return ("xor", ("lit", k), plan, False)
                for u, negated in ((t, False), (~t & FULL, True)):
                    if u & care & ~kv == 0:  # u = k & one more gate
                        plan = self.find1(u, care & kv)
                        if plan:
                            return ("and", ("lit", k), plan, negated)
        return None

    def build(self, t, care, order, look):
        plan = self.find0(t, care) or self.find1(t, care)
        if plan is None:
            plan = self.find2(t, care)
        if plan is not None:
            return self.apply(plan)
        return split_cheapest(self, t, care, order, look)

    def split(self, t, care, x, mirror, order, look):
        c0, c1 = care & ~VARS[x], care & VARS[x]
        rest = [y for y in order if y != x]
        on = (x, False)
        if t & c0 == 0:
            return self.and_(on, self.build(t, c1, rest, look))
        if ~t & c0 == 0:
            return self.or_((x, True), self.build(t, c1, rest, look))
        if t & c1 == 0:
            return self.and_((x, True), self.build(t, c0, rest, look))
        if ~t & c1 == 0:
            return self.or_(on, self.build(t, c0, rest, look))
        if mirror:
            c0, c1, on = c1, c0, (x, True)
        # A built function right where x is off may serve as f0: the one
        # leaving least to build where it is on (f0 ^ h, f0 | h, f0 & ~h).
        best = None
        for i, v in enumerate(self.values):
            for negated in (False, True):
                fv = v ^ (FULL if negated else 0)
                if (fv ^ t) & c0:
                    continue
                forms = [("xor", t ^ fv, c1)]
                if fv & c1 & ~t == 0:
                    forms.append(("or", t, c1 & ~fv))
                if t & c1 & ~fv == 0:
                    forms.append(("andn", ~t & FULL, c1 & fv))
                for form, target, where in forms:
                    for extra, find in ((0, self.find0), (1, self.find1)):
                        if best is not None and extra >= best[0]:
                            break
                        plan = find(target, where)
                        if plan is not None:
                            best = (extra, (i, negated), form, plan)
                            break
        if best is not None:
            _, f0, form, plan = best
            xh = self.and_(on, self.apply(plan))
            if form == "xor":
                return self.xor(f0, xh)
            if form == "or":
                return self.or_(f0, xh)
            return self.and_(f0, (xh[0], not xh[1]))
        f0 = self.build(t, c0, rest, look)
        h = self.build(t ^ self.value(f0), c1, rest, look)
        return self.xor(f0, self.and_(on, h))


class Luts:
    """A circuit of three-input functions over the six inputs.  A complement
    costs nothing: whoever reads a node folds it into its own table."""

    def __init__(self, rng):
        self.rng = rng
        self.mirror = rng.choice([0.0, 0.5, 1.0])
        self.values = list(VARS)
        self.fanin = []  # per function: its input nodes
        self.index = {}
        for i, v in enumerate(VARS):
            self.index[v] = self.index[~v & FULL] = i

    def clone(self):
        other = Luts.__new__(Luts)
        other.__dict__.update(self.__dict__)
        other.values, other.fanin = list(self.values), list(self.fanin)
        other.index = dict(self.index)
        return other

    def adopt(self, other):
        self.values, self.fanin, self.index = (other.values, other.fanin,
                                               other.index)

    def size(self):
        return len(self.fanin)

    def add(self, inputs, t, care):
        """A function of inputs equal to t on care (0 where care says
        nothing), or the node that already has its value."""
        value = 0
        for pattern in range(1 << len(inputs)):
            where = FULL
            for k, node in enumerate(inputs):
                v = self.values[node]
                where &= v if (pattern >> k) & 1 else ~v
            if t & care & where:
                value |= where
        value &= FULL
        if value not in self.index:
            self.fanin.append(tuple(inputs))
            self.values.append(value)
            self.index[value] = self.index[~value & FULL] = (
                len(self.values) - 1)
        return self.index[value]

    def find0(self, t, care):
        for i, v in enumerate(self.values):
            d = (v ^ t) & care
            if d == 0 or d == care:
                return i
        return None

    def find1(self, t, care, pairs_only=False):
        """Two or three built nodes of which t is a function on care."""
        values = self.values
        n = len(values)
        three = None
        for a in range(n):
            va = values[a] & care
            na = ~values[a] & care
            for b in range(a + 1, n):
                vb = values[b]
                mixed = [m for m in (va & vb, va & ~vb, na & vb, na & ~vb)
                         if m & t and m & ~t]
                if not mixed:
                    return (a, b)
                if pairs_only or three is not None or len(mixed) > 3:
                    continue
                for c in range(n):
                    if c == a or c == b:
                        continue
                    vc = values[c]
                    for m in mixed:  # c must tell t from ~t in each class
                        d = (vc ^ t) & m
                        if d and d != m:
                            break
                    else:
                        three = (a, b, c)
                        break
        return three

    def build(self, t, care, order, look):
        node = self.find0(t, care)
        if node is not None:
            return node
        inputs = self.find1(t, care)
        if inputs is not None:
            return self.add(inputs, t, care)
        return split_cheapest(self, t, care, order, look)

    def split(self, t, care, x, mirror, order, look):
        rest = [y for y in order if y != x]
        c0, c1 = care & ~VARS[x], care & VARS[x]
        if mirror:
            c0, c1 = c1, c0
        if t & c0 == 0 or ~t & c0 == 0:
            g = self.build(t, c1, rest, look)
            return self.add((x, g), t, care)
        f0 = self.build(t, c0, rest, look)
        fv = self.values[f0]
        # Where x is on, g may be t or t ^ f0 (or a complement).
        for target in (t, t ^ fv):
            g = self.find0(target, c1)
            if g is not None:
                return self.add((x, f0, g), t, care)
        if look > 0:  # the cheaper of the two
            g = cheapest(self, [
                lambda trial, target=target: trial.build(target, c1, rest,
                                                         look)
                for target in (t, t ^ fv)])
        else:
            target = t if self.rng.random() < 0.5 else t ^ fv
            g = self.build(target, c1, rest, look)
        return self.add((x, f0, g), t, care)


LOOK = 2  # splits tried every way, from the top


def gates_circuit(tables, seed):
    rng = random.Random(seed)
    order = list(range(6))
    rng.shuffle(order)
    outputs = list(range(4))
    rng.shuffle(outputs)
    circuit = Gates(rng)
    literals = [None] * 4
    for q in outputs:
        literals[q] = circuit.build(tables[q], FULL, order, LOOK)
    for q in range(4):
        assert circuit.value(literals[q]) == tables[q]
    # A NOT for each output left complemented.
    return len(circuit.gates) + sum(n for _, n in literals), (circuit, literals)


def luts_circuit(tables, seed):
    rng = random.Random(seed)
    order = list(range(6))
    rng.shuffle(order)
    outputs = list(range(4))
    rng.shuffle(outputs)
    circuit = Luts(rng)
    results = [None] * 4
    for q in outputs:
        t = tables[q]
        node = circuit.find0(t, FULL)
        if node is None:
            pair = circuit.find1(t, FULL, pairs_only=True)
            if pair is not None:  # the XOR into the slice takes it whole
                results[q] = pair
                continue
            node = circuit.build(t, FULL, order, LOOK)
        results[q] = (node,)
    for q in range(4):
        assert function_of(circuit.values, results[q], tables[q]) is not None
    return len(circuit.fanin) + 4, (circuit, results)


def function_of(values, inputs, t):
    """The table (bit k: inputs' bits k, first input most significant) by
    which t is a function of inputs, or None."""
    table = 0
    for k in range(1 << len(inputs)):
        where = FULL
        for i, node in enumerate(inputs):
            bit = (k >> (len(inputs) - 1 - i)) & 1
            where &= values[node] if bit else ~values[node]
        where &= FULL
        if where & t and where & ~t:
            return None
        if where & t:
            table |= 1 << k
    return table


SEARCHES = {"gates": gates_circuit, "luts": luts_circuit}


def attempt(task):
    kind, s, seed = task
    cost, _ = SEARCHES[kind](output_tables(SBOXES[s]), seed)
    return cost


def search(kind, restarts, jobs):
    """The best seed of each S-box: the smallest cost, the first seed among
    equals, whatever the number of jobs."""
    tasks = [(kind, s, seed) for s in range(8) for seed in range(restarts)]
    if jobs > 1:
        with multiprocessing.Pool(jobs) as pool:
            costs = pool.map(attempt, tasks, chunksize=1)
    else:
        costs = [attempt(task) for task in tasks]
    seeds = []
    for s in range(8):
        mine = costs[s * restarts:(s + 1) * restarts]
        seeds.append(min(range(restarts), key=lambda seed: (mine[seed], seed)))
    return seeds


def name(node):
    return "x%d" % node if node < 6 else "t%d" % node


def emit_gates(s, circuit, literals):
    lines = ["template <class W>",
             "OVALITH_SBOX_INLINE void S%d(W x0, W x1, W x2, W x3, W x4, W x5,"
             % (s + 1),
             "                             W& y0, W& y1, W& y2, W& y3) {"]
    for index, (op, a, b) in enumerate(circuit.gates):
        expr = {"and": "%s & %s", "or": "%s | %s", "xor": "%s ^ %s",
                "andn": "AndNot(%s, %s)"}[op]
        lines.append("  const W %s = %s;" % (name(index + 6),
                                            expr % (name(a), name(b))))
    for q, (node, negated) in enumerate(literals):
        lines.append("  y%d ^= %s%s;" % (q, "~" if negated else "", name(node)))
    lines.append("}")
    return "\n".join(lines)


# Two-input functions by their table (bit 2a + b, for a then b).
TWO_INPUT = {0x8: "%s & %s", 0xE: "%s | %s", 0x6: "%s ^ %s",
             0x2: "~%s & %s", 0x4: "%s & ~%s"}


def luts_ops(s, circuit, results):
    """(target, inputs, table over the inputs, first most significant) of
    each function of a Luts circuit, the XORs into the slices last."""
    values = list(circuit.values)
    ops = []
    for i, inputs in enumerate(circuit.fanin):
        node = 6 + i
        ops.append((name(node), [name(n) for n in inputs],
                    function_of(values, inputs, values[node])))
    for q, inputs in enumerate(results):
        # y ^ f(inputs): y is the first input, f's table the low half.
        f = function_of(values, inputs, OUTPUT_TABLES[s][q])
        width = 1 << len(inputs)
        ops.append(("y%d" % q, ["y%d" % q] + [name(n) for n in inputs],
                    f | ((~f & ((1 << width) - 1)) << width)))
    return ops


def cover_ops(circuit, literals):
    """The same for the three-input cover of a two-input circuit."""
    ops = []
    for node, inputs, immediate in ternary_cover(circuit, literals):
        n = len(inputs)
        table = sum(((immediate >> (k << (3 - n))) & 1) << k
                    for k in range(1 << n))
        ops.append((node if isinstance(node, str) else name(node),
                    [leaf if isinstance(leaf, str) else name(leaf)
                     for leaf in inputs], table))
    return ops


def emit_ops(s, ops):
    last_use = {}
    for index, (_, inputs, _) in enumerate(ops):
        for leaf in inputs:
            last_use[leaf] = index
    lines = ["template <class W>",
             "OVALITH_SBOX_INLINE void T%d(W x0, W x1, W x2, W x3, W x4, W x5,"
             % (s + 1),
             "                             W& y0, W& y1, W& y2, W& y3) {"]
    for index, (target, inputs, table) in enumerate(ops):
        # vpternlog overwrites its first operand: make it one used no more,
        # so that the compiler need not copy it first.
        n = len(inputs)
        dying = [i for i, leaf in enumerate(inputs) if last_use[leaf] == index]
        order = list(range(n))
        if n == 3 and dying and dying[0] != 0:
            order = [dying[0]] + [i for i in range(3) if i != dying[0]]
        inputs = [inputs[i] for i in order]
        moved = 0
        for k in range(1 << n):
            original = sum(((k >> (n - 1 - i)) & 1) << (n - 1 - order[i])
                           for i in range(n))
            moved |= ((table >> original) & 1) << k
        table = moved
        if n == 2 and table in TWO_INPUT:
            # Two inputs stay plain operators: vpternlog overwrites one of
            # its operands, and copies to keep them would cost more.
            expression = TWO_INPUT[table] % tuple(inputs)
        elif n == 1:
            expression = inputs[0] if table == 2 else "~" + inputs[0]
        else:
            if n == 2:  # an unused third operand
                table = sum(((table >> (k >> 1)) & 1) << k for k in range(8))
                inputs = inputs + [inputs[0]]
            expression = "Ternlog<0x%02X>(%s)" % (table, ", ".join(inputs))
        declare = "" if target.startswith("y") else "const W "
        lines.append("  %s%s = %s;" % (declare, target, expression))
    lines.append("}")
    return "\n".join(lines)


def ternary_cover(circuit, literals):
    """[(node, leaves, immediate)] in order: node is a gate number or "y<q>"
    for output q's slice after the XOR; leaves are up to three of x0..x5,
    y0..y3 and earlier nodes."""
    fanins = {6 + i: gate for i, gate in enumerate(circuit.gates)}
    for q, (node, negated) in enumerate(literals):
        fanins["o%d" % q] = ("xnor" if negated else "xor", "y%d" % q, node)
    order = list(fanins)
    leaves = set(range(6)) | {"y%d" % q for q in range(4)}
    cuts = {leaf: [frozenset([leaf])] for leaf in leaves}
    fanout = collections.Counter()
    for n in order:
        _, a, b = fanins[n]
        fanout[a] += 1
        fanout[b] += 1
        merged = {ca | cb for ca in cuts[a] for cb in cuts[b]
                  if len(ca | cb) <= 3}
        cuts[n] = [frozenset([n])] + sorted(merged, key=cut_key)
    flow = {leaf: 0.0 for leaf in leaves}
    best = {}
    for n in order:  # area flow: a shared cone's cost split among its users
        options = [(1 + sum(flow[l] / max(1, fanout[l]) for l in cut), i)
                   for i, cut in enumerate(cuts[n]) if i > 0]
        flow[n], index = min(options)
        best[n] = cuts[n][index]
    chosen, pending = {}, ["o%d" % q for q in range(4)]
    while pending:
        n = pending.pop()
        if n in chosen or n in leaves:
            continue
        chosen[n] = sorted(best[n], key=sorted_key)
        pending.extend(chosen[n])

    def value(n, assigned):
        if n in assigned:
            return assigned[n]
        op, a, b = fanins[n]
        va, vb = value(a, assigned), value(b, assigned)
        return {"and": va & vb, "or": va | vb, "xor": va ^ vb,
                "andn": (1 - va) & vb, "xnor": 1 - (va ^ vb)}[op]

    cover = []
    for n in order:
        if n not in chosen:
            continue
        inputs = chosen[n]
        immediate = 0
        for k in range(8):  # vpternlog: bit (a << 2 | b << 1 | c)
            assigned = {leaf: (k >> (2 - i)) & 1
                        for i, leaf in enumerate(inputs)}
            immediate |= value(n, assigned) << k
        name = "y" + n[1:] if isinstance(n, str) else n
        cover.append((name, inputs, immediate))
    return cover


def sorted_key(node):
    return (isinstance(node, str), str(node))


def cut_key(cut):
    # By its members, not by how the set prints: that follows string
    # hashing, which Python varies from run to run.
    return sorted(sorted_key(node) for node in cut)


OUTPUT_TABLES = [output_tables(sbox) for sbox in SBOXES]

HEADER_GATES = """// clang-format off
// des_sboxes.h: the eight DES S-boxes as boolean circuits over
// bit-slice words.  Generated by gen/des_sbox_gen.py; do not edit.
// Sx(x0..x5, y0..y3) XORs S-box x of inputs x0 (first bit) .. x5
// into y0 (first output bit) .. y3.
// Gates (AND, OR, XOR, ANDN; a NOT for a complemented output): %s; %d in all.
// Seeds: %s.
#pragma once

#include "cipher/library/des_and_not.h"

#ifndef OVALITH_SBOX_INLINE
#define OVALITH_SBOX_INLINE inline __attribute__((always_inline))
#endif

namespace ovalith::des {
namespace {  // see des_bitslice.h: each path compiles its own copy
"""

HEADER_LUTS = """// clang-format off
// des_sboxes_ternary.h: the eight DES S-boxes as three-input functions,
// one AVX-512 vpternlog each.  Generated by gen/des_sbox_gen.py; do not edit.
// Tx(x0..x5, y0..y3) XORs S-box x into y0..y3, as Sx does.
// Three-input functions (the output XORs included): %s; %d in all.
// Seeds: %s.
#pragma once

#include <immintrin.h>

#ifndef OVALITH_SBOX_INLINE
#define OVALITH_SBOX_INLINE inline __attribute__((always_inline))
#endif

namespace ovalith::des {
namespace {  // see des_bitslice.h: each path compiles its own copy

// Bit (a << 2 | b << 1 | c) of Imm is the result for bits a, b, c.
template <int Imm, class W>
OVALITH_SBOX_INLINE W Ternlog(W a, W b, W c) {
  return (W)_mm512_ternarylogic_epi64((__m512i)a, (__m512i)b, (__m512i)c, Imm);
}
"""

FOOTER = "\n\n}  // namespace\n}  // namespace ovalith::des\n"


def header_text(kind, seeds, gates_seeds=None):
    """The header of kind from the seeds of its S-boxes.  A three-input
    circuit's seed may be "cover": the cover of the two-input circuit of
    gates_seeds, where that is smaller than the search's best."""
    bodies, counts, used = [], [], []
    for s, seed in enumerate(seeds):
        if kind == "gates":
            cost, built = gates_circuit(OUTPUT_TABLES[s], seed)
            bodies.append(emit_gates(s, *built))
        else:
            ops = cover_ops(*gates_circuit(OUTPUT_TABLES[s],
                                           gates_seeds[s])[1])
            if seed != "cover":
                cost, built = luts_circuit(OUTPUT_TABLES[s], seed)
                if len(ops) < cost:
                    seed = "cover"
                else:
                    ops = luts_ops(s, *built)
            cost = len(ops)
            bodies.append(emit_ops(s, ops))
        counts.append(cost)
        used.append(seed)
    letter = "S" if kind == "gates" else "T"
    head = HEADER_GATES if kind == "gates" else HEADER_LUTS
    head %= (", ".join("%s%d %d" % (letter, s + 1, c)
                       for s, c in enumerate(counts)), sum(counts),
             ", ".join("%s%d %s" % (letter, s + 1, seed)
                       for s, seed in enumerate(used)))
    print("%s: %s" % (kind, counts), file=sys.stderr)
    return head + "\n\n".join(bodies) + FOOTER


def recorded_seeds(path):
    with open(path) as header:
        found = re.search(r"^// Seeds: (.*)\.$", header.read(), re.M)
    if not found:
        sys.exit("%s: no seeds recorded" % path)
    return [seed if seed == "cover" else int(seed)
            for seed in re.findall(r"[ST]\d (\d+|cover)", found.group(1))]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true",
                        help="rebuild the headers from their recorded seeds "
                        "and compare")
    parser.add_argument("--from-seeds", action="store_true",
                        help="rewrite the headers from their recorded seeds")
    parser.add_argument("--restarts", type=int, default=8)
    parser.add_argument("--jobs", type=int, default=1)
    parser.add_argument("gates_header")
    parser.add_argument("luts_header")
    args = parser.parse_args()
    for sbox in SBOXES:  # each row a permutation of 0..15
        for row in range(4):
            assert sorted(sbox[16 * row:16 * row + 16]) == list(range(16))
    status = 0
    gates_seeds = None
    for kind, path in (("gates", args.gates_header),
                       ("luts", args.luts_header)):
        if args.check or args.from_seeds:
            seeds = recorded_seeds(path)
        else:
            seeds = search(kind, args.restarts, args.jobs)
        text = header_text(kind, seeds, gates_seeds)
        if kind == "gates":
            gates_seeds = seeds
        if args.check:
            with open(path) as header:
                if header.read() != text:
                    print("%s is not what its seeds give" % path,
                          file=sys.stderr)
                    status = 1
        else:
            with open(path, "w") as header:
                header.write(text)
    return status


if __name__ == "__main__":
    sys.exit(main())
