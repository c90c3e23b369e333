#!/usr/bin/env python3
"""Derives boolean circuits for the eight DES S-boxes and writes them as C++.

Each output bit of an S-box is a function of its six input bits.  It is
decomposed one input at a time (f = f0 ^ (x & (f0 ^ f1)), or its mirror on
~x, or a single gate when a cofactor is constant), and every function met on
the way is kept by its truth table, so the four outputs share subterms.
Many orders of the inputs and of the outputs are tried, at the first
input also every choice, and the smallest circuit is kept.  The
gates are AND, OR, XOR and ANDN (~a & b), so each maps to one
instruction on SSE2/AVX2 and pairs of them fold into one ternary-logic
instruction on AVX-512.  Every circuit is checked against the table before it
is written.

For AVX-512 the same circuits, each output's XOR into its slice included,
are then covered by three-input functions (cut enumeration, area flow), one
vpternlog instruction each.

Usage: des_sbox_gen.py OUTPUT_HEADER TERNARY_OUTPUT_HEADER
"""
import collections
import itertools
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


def cofactors(f, i):
    shift = 1 << i
    low = f & ~VARS[i] & FULL
    high = f & VARS[i]
    return low | (low << shift), high | (high >> shift)


def depends(f, i):
    f0, f1 = cofactors(f, i)
    return f0 != f1


class Circuit:
    """Gates over the six inputs.  A function is reached as a literal: a
    node and whether it is complemented, so that complements cost nothing
    inside the circuit (an AND of a complement is an ANDN, of two an OR)."""

    def __init__(self, pick):
        self.pick = pick
        self.gates = []  # (op, a, b): operands are node numbers
        self.table = {}  # truth table -> node
        self.values = []
        for i in range(6):
            self.values.append(VARS[i])
            self.table[VARS[i]] = i

    def node(self, op, a, b):
        va, vb = self.values[a], self.values[b]
        value = {"and": va & vb, "or": va | vb, "xor": va ^ vb,
                 "andn": ~va & vb & FULL}[op]
        if value not in self.table:
            self.gates.append((op, a, b))
            self.values.append(value)
            self.table[value] = len(self.values) - 1
        return self.table[value]

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

    def clone(self):
        other = Circuit(self.pick)
        other.gates, other.values = list(self.gates), list(self.values)
        other.table = dict(self.table)
        return other

    def build_looking_ahead(self, f, order):
        """build, but with the first input and form chosen by trying each."""
        if self.known(f):
            return self.build(f, order)
        best = None
        for v in [i for i in order if depends(f, i)]:
            rest = [i for i in order if i != v]
            f0, f1 = cofactors(f, v)
            for base, x in ((f0, (v, False)), (f1, (v, True))):
                trial = self.clone()
                literal = trial.xor(trial.build(base, rest),
                                    trial.and_(x, trial.build(f0 ^ f1, rest)))
                if best is None or len(trial.gates) < len(best[0].gates):
                    best = (trial, literal)
        trial, literal = best
        self.gates, self.values, self.table = (trial.gates, trial.values,
                                               trial.table)
        return literal

    def known(self, f):
        return f in self.table or (~f & FULL) in self.table

    def build(self, f, order):
        if f in self.table:
            return (self.table[f], False)
        if (~f & FULL) in self.table:
            return (self.table[~f & FULL], True)
        for node, value in enumerate(self.values):  # one XOR of two known
            for target, negated in ((f, False), (~f & FULL, True)):
                if (target ^ value) in self.table:
                    return (self.node("xor", node, self.table[target ^ value]),
                            negated)
        order = [i for i in order if depends(f, i)]
        v = self.pick(self, f, order)
        rest = [i for i in order if i != v]
        x = (v, False)
        f0, f1 = cofactors(f, v)
        h = f0 ^ f1
        if f0 == 0:
            return self.and_(x, self.build(f1, rest))
        if f1 == 0:
            return self.and_((v, True), self.build(f0, rest))
        if f1 == FULL:
            return self.or_(x, self.build(f0, rest))
        if f0 == FULL:
            return self.or_((v, True), self.build(f1, rest))
        if h == FULL:
            return self.xor(x, self.build(f0, rest))
        # f = f0 ^ (x & h), or f = f1 ^ (~x & h): whichever needs less new.
        if self.known(f1) and not self.known(f0):
            return self.xor(self.build(f1, rest),
                            self.and_((v, True), self.build(h, rest)))
        return self.xor(self.build(f0, rest), self.and_(x, self.build(h, rest)))


def first(circuit, f, order):
    return order[0]


def likeliest(circuit, f, order):
    """The input whose cofactors the circuit has, or are simplest."""
    def score(i):
        f0, f1 = cofactors(f, i)
        h = f0 ^ f1
        points = 0
        if f0 in (0, FULL) or f1 in (0, FULL) or h == FULL:
            points += 4
        points += sum(circuit.known(g) for g in (f0, f1, h))
        return -points
    return min(order, key=score)


def best_circuit(sbox):
    tables = output_tables(sbox)
    best = None
    tries = [(pick, "build", order, outputs)
             for pick in (first, likeliest)
             for order in itertools.permutations(range(6))
             for outputs in ((0, 1, 2, 3), (3, 2, 1, 0), (1, 3, 0, 2),
                             (2, 0, 3, 1))]
    tries += [(pick, "build_looking_ahead", order, outputs)
              for pick in (first, likeliest)
              for order in ((0, 1, 2, 3, 4, 5), (5, 4, 3, 2, 1, 0),
                            (0, 5, 1, 2, 3, 4), (1, 2, 3, 4, 0, 5))
              for outputs in itertools.permutations(range(4))]
    for pick, method, order, outputs in tries:
        circuit = Circuit(pick)
        literals = [None] * 4
        for q in outputs:
            literals[q] = getattr(circuit, method)(tables[q], list(order))
        if best is None or cost(circuit, literals) < cost(*best):
            best = (circuit, literals)
    circuit, literals = best
    for q, (node, negated) in enumerate(literals):
        assert circuit.values[node] ^ (FULL if negated else 0) == tables[q]
    return best


def cost(circuit, literals):
    """Gates, and a NOT for each output left complemented."""
    return len(circuit.gates) + sum(negated for _, negated in literals)


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


# Two-input functions by their truth table (bit 2a + b, for a then b).
TWO_INPUT = {0x8: "%s & %s", 0xE: "%s | %s", 0x6: "%s ^ %s",
             0x2: "~%s & %s", 0x4: "%s & ~%s"}


def sorted_key(node):
    return (isinstance(node, str), str(node))


def cut_key(cut):
    # By its members, not by how the set prints: that follows string
    # hashing, which Python varies from run to run.
    return sorted(sorted_key(node) for node in cut)


def emit_ternary(s, circuit, literals):
    def name(node):
        if isinstance(node, str):
            return node
        return "x%d" % node if node < 6 else "t%d" % node

    lines = ["template <class W>",
             "OVALITH_SBOX_INLINE void T%d(W x0, W x1, W x2, W x3, W x4, W x5,"
             % (s + 1),
             "                             W& y0, W& y1, W& y2, W& y3) {"]
    cover = ternary_cover(circuit, literals)
    last_use = {}
    for index, (_, inputs, _) in enumerate(cover):
        for leaf in inputs:
            last_use[leaf] = index
    for index, (node, inputs, immediate) in enumerate(cover):
        # vpternlog overwrites its first operand: make it one used no more,
        # so that the compiler need not copy it first.
        dying = [i for i, leaf in enumerate(inputs) if last_use[leaf] == index]
        if len(inputs) == 3 and dying and dying[0] != 0:
            order = [dying[0]] + [i for i in range(3) if i != dying[0]]
            inputs = [inputs[i] for i in order]
            moved = 0
            for k in range(8):
                original = sum(((k >> (2 - i)) & 1) << (2 - order[i])
                               for i in range(3))
                moved |= ((immediate >> original) & 1) << k
            immediate = moved
        args = [name(i) for i in inputs]
        target = name(node) if isinstance(node, str) else "const W " + name(
            node)
        # Two inputs stay plain operators: vpternlog overwrites one of its
        # operands, and copies to keep them would cost more than it saves.
        table = sum(((immediate >> (4 * a + 2 * b)) & 1) << (2 * a + b)
                    for a in (0, 1) for b in (0, 1))
        if len(args) == 2 and table in TWO_INPUT:
            expression = TWO_INPUT[table] % tuple(args)
        else:
            args += [args[0]] * (3 - len(args))  # an unused operand
            expression = "Ternlog<0x%02X>(%s)" % (immediate, ", ".join(args))
        lines.append("  %s = %s;" % (target, expression))
    lines.append("}")
    return "\n".join(lines), len(cover)


def emit(s, circuit, literals):
    def name(node):
        return "x%d" % node if node < 6 else "t%d" % node

    lines = ["template <class W>",
             "OVALITH_SBOX_INLINE void S%d(W x0, W x1, W x2, W x3, W x4, W x5,"
             % (s + 1),
             "                             W& y0, W& y1, W& y2, W& y3) {"]
    for index, (op, a, b) in enumerate(circuit.gates):
        expr = {"and": "%s & %s", "or": "%s | %s", "xor": "%s ^ %s",
                "andn": "~%s & %s"}[op]
        lines.append("  const W %s = %s;" % (name(index + 6),
                                            expr % (name(a), name(b))))
    for q, (node, negated) in enumerate(literals):
        lines.append("  y%d ^= %s%s;" % (q, "~" if negated else "", name(node)))
    lines.append("}")
    return "\n".join(lines)


def main():
    for sbox in SBOXES:  # each row a permutation of 0..15
        for row in range(4):
            assert sorted(sbox[16 * row:16 * row + 16]) == list(range(16))
    bodies, counts, ternary, ternary_counts = [], [], [], []
    for s, sbox in enumerate(SBOXES):
        circuit, literals = best_circuit(sbox)
        counts.append(cost(circuit, literals))
        bodies.append(emit(s, circuit, literals))
        body, count = emit_ternary(s, circuit, literals)
        ternary.append(body)
        ternary_counts.append(count)
        print("S%d: %d gates, %d ternary" % (s + 1, counts[-1], count),
              file=sys.stderr)
    header = [
        "// clang-format off",
        "// des_sboxes.h: the eight DES S-boxes as boolean circuits over",
        "// bit-slice words.  Generated by gen/des_sbox_gen.py; do not edit.",
        "// Sx(x0..x5, y0..y3) XORs S-box x of inputs x0 (first bit) .. x5",
        "// into y0 (first output bit) .. y3.",
        "// Gates (AND, OR, XOR, ANDN; a NOT for a complemented output): " +
        ", ".join("S%d %d" % (s + 1, c) for s, c in enumerate(counts)) +
        "; %d in all." % sum(counts),
        "#pragma once",
        "",
        "#ifndef OVALITH_SBOX_INLINE",
        "#define OVALITH_SBOX_INLINE inline __attribute__((always_inline))",
        "#endif",
        "",
        "namespace ovalith::des {",
        "namespace {  // see des_bitslice.h: each path compiles its own copy",
        "",
    ]
    text = "\n".join(header) + "\n\n".join(bodies)
    text += "\n\n}  // namespace\n}  // namespace ovalith::des\n"
    with open(sys.argv[1], "w") as out:
        out.write(text)
    header = [
        "// clang-format off",
        "// des_sboxes_ternary.h: the circuits of des_sboxes.h, each output's",
        "// XOR included, as three-input functions: one AVX-512 vpternlog each.",
        "// Generated by gen/des_sbox_gen.py; do not edit.",
        "// Tx(x0..x5, y0..y3) XORs S-box x into y0..y3, as Sx does.",
        "// Three-input functions (the output XORs included): " +
        ", ".join("T%d %d" % (s + 1, c) for s, c in enumerate(ternary_counts)) +
        "; %d in all." % sum(ternary_counts),
        "#pragma once",
        "",
        "#include <immintrin.h>",
        "",
        "#ifndef OVALITH_SBOX_INLINE",
        "#define OVALITH_SBOX_INLINE inline __attribute__((always_inline))",
        "#endif",
        "",
        "namespace ovalith::des {",
        "namespace {  // see des_bitslice.h: each path compiles its own copy",
        "",
        "// Bit (a << 2 | b << 1 | c) of Imm is the result for bits a, b, c.",
        "template <int Imm, class W>",
        "OVALITH_SBOX_INLINE W Ternlog(W a, W b, W c) {",
        "  return (W)_mm512_ternarylogic_epi64((__m512i)a, (__m512i)b,"
        " (__m512i)c, Imm);",
        "}",
        "",
    ]
    text = "\n".join(header) + "\n\n".join(ternary)
    text += "\n\n}  // namespace\n}  // namespace ovalith::des\n"
    with open(sys.argv[2], "w") as out:
        out.write(text)


if __name__ == "__main__":
    main()
