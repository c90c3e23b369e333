#!/usr/bin/env python3
"""Derives boolean circuits for the eight DES S-boxes and writes them as C++.

The searches run in des_sbox_search (C++, built beside the library; see its
sources in this directory), restarted from many seeds (a seed fixes the order
of the inputs and of the outputs and the coin flips), the smallest circuit of
each S-box kept:

- Two-input gates (AND, OR, XOR, ANDN; a complement is free inside, as the
  choice among them), for SSE2, AVX2 and 64-bit words.  An output is built as
  a truth table that needs to be right only on a "care" set: first as a
  function already built (or its complement), then as one, two or three new
  gates over built ones; only then is it split on an input x, as a
  multiplexer f = f0 ^ (x & h) (or f0 | (x & h), f0 & ~(x & h), or the
  mirror on ~x): f0 needs to be right only where x is off and h only where it
  is on, so both may be functions already built.  The first two levels of
  splits try every input both ways and keep the cheapest.
- Three-input functions (one AVX-512 vpternlog each), searched on their own
  the same way: a function of two or three built ones costs one, two new
  ones (f(a, b, g), g a function of three built ones) two, a multiplexer on x
  one.  Each output's XOR into its slice is one more function, folded into
  the last one when that has two inputs.  The outputs built first never
  see the nodes of those built later, so the best few seeds' circuits are
  then rebuilt one, two or three outputs at a time over the rest, in fresh
  orders, each rebuild kept when smaller, then also when no larger, which
  walks on to circuits no single rebuild reaches: the kept rebuilds' trial
  numbers, up to the last that saved, are appended to the seed
  ("36+17+45").  Where covering the two-input circuit with
  three-input cuts gives fewer, that cover is taken instead.

This script hands the search the S-box tables, checks every circuit it gets
back against them, and writes the headers.  The seed of each S-box's circuit
is written beside it, so --check can rebuild the headers from those seeds
alone and compare them with the files.

Usage: des_sbox_gen.py --search PROGRAM [--check | --from-seeds]
           [--restarts N] [--lut-restarts N] [--rebuild-top N]
           [--patience N] [--jobs N]
           TWO_INPUT_HEADER TERNARY_HEADER
"""
import argparse
import collections
import concurrent.futures
import re
import subprocess
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


RUNS = {}  # each call's output, as a circuit may be asked for twice


def run_core(core, args, tables):
    command = tuple([core] + [str(a) for a in args] +
                    ["%016x" % t for t in tables])
    if command not in RUNS:
        RUNS[command] = subprocess.run(command, check=True,
                                       capture_output=True, text=True).stdout
    return RUNS[command].split("\n")


GATE_OPS = {"and": lambda a, b: a & b, "or": lambda a, b: a | b,
            "xor": lambda a, b: a ^ b, "andn": lambda a, b: ~a & b & FULL}


class Circuit:
    """A circuit as the search printed it: gates (op, a, b) or functions
    (inputs) over nodes 0..5 (the inputs) and those before them."""

    def __init__(self):
        self.values = list(VARS)
        self.gates, self.fanin = [], []


GATES_CIRCUITS = {}


def gates_circuit(core, tables, seed):
    """Built once per seed: the three-input header's cover needs it again."""
    key = (tuple(tables), seed)
    if key not in GATES_CIRCUITS:
        GATES_CIRCUITS[key] = read_gates_circuit(core, tables, seed)
    return GATES_CIRCUITS[key]


def read_gates_circuit(core, tables, seed):
    circuit, literals = Circuit(), [None] * 4
    for line in run_core(core, ["circuit", "gates", seed], tables):
        fields = line.split()
        if fields and fields[0] == "gate":
            op, a, b = fields[1], int(fields[2]), int(fields[3])
            assert a < len(circuit.values) and b < len(circuit.values)
            circuit.gates.append((op, a, b))
            circuit.values.append(GATE_OPS[op](circuit.values[a],
                                               circuit.values[b]))
        elif fields:
            literals[int(fields[1])] = (int(fields[2]), fields[3] == "1")
    for q, (node, negated) in enumerate(literals):
        if circuit.values[node] ^ (FULL if negated else 0) != tables[q]:
            sys.exit("gates, seed %s: output %d wrong" % (seed, q))
    # A NOT for each output left complemented.
    return len(circuit.gates) + sum(n for _, n in literals), (circuit, literals)


def luts_circuit(core, tables, seed):
    circuit, results = Circuit(), [None] * 4
    for line in run_core(core, ["circuit", "luts", seed], tables):
        fields = line.split()
        if fields and fields[0] == "lut":
            value, inputs = int(fields[1], 16), tuple(map(int, fields[2:]))
            assert all(n < len(circuit.values) for n in inputs)
            if function_of(circuit.values, inputs, value) is None:
                sys.exit("luts, seed %s: a function of the wrong inputs" % seed)
            circuit.fanin.append(inputs)
            circuit.values.append(value)
        elif fields:
            results[int(fields[1])] = tuple(map(int, fields[2:]))
    for q in range(4):
        if function_of(circuit.values, results[q], tables[q]) is None:
            sys.exit("luts, seed %s: output %d wrong" % (seed, q))
    return len(circuit.fanin) + 4, (circuit, results)


def search(core, kind, restarts, jobs, rebuild=()):
    """The best seed of each S-box: the smallest cost, the first seed among
    equals.  Each S-box is one process; jobs of them run at once."""
    pending = list(range(8))
    running, seeds = {}, [None] * 8
    while pending or running:
        while pending and len(running) < jobs:
            s = pending.pop(0)
            running[s] = subprocess.Popen(
                [core, "best", kind, "0", str(restarts)] +
                [str(n) for n in rebuild] +
                ["%016x" % t for t in OUTPUT_TABLES[s]],
                stdout=subprocess.PIPE, text=True)
        s = next(iter(running))
        out, _ = running.pop(s).communicate()
        seed, cost = out.split()
        print("%s S%d: seed %s, %s" % (kind, s + 1, seed, cost),
              file=sys.stderr)
        seeds[s] = int(seed) if seed.isdigit() else seed
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


def header_text(core, kind, seeds, gates_seeds=None):
    """The header of kind from the seeds of its S-boxes.  A three-input
    circuit's seed may be "cover": the cover of the two-input circuit of
    gates_seeds, where that is smaller than the search's best."""
    bodies, counts, used = [], [], []
    for s, seed in enumerate(seeds):
        if kind == "gates":
            cost, built = gates_circuit(core, OUTPUT_TABLES[s], seed)
            bodies.append(emit_gates(s, *built))
        else:
            ops = cover_ops(*gates_circuit(core, OUTPUT_TABLES[s],
                                           gates_seeds[s])[1])
            if seed != "cover":
                cost, built = luts_circuit(core, OUTPUT_TABLES[s], seed)
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
    return [int(seed) if seed.isdigit() else seed
            for seed in re.findall(r"[ST]\d (\d+(?:\+\d+)*|cover)",
                                   found.group(1))]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true",
                        help="rebuild the headers from their recorded seeds "
                        "and compare")
    parser.add_argument("--from-seeds", action="store_true",
                        help="rewrite the headers from their recorded seeds")
    parser.add_argument("--search", required=True,
                        help="the search program, des_sbox_search")
    parser.add_argument("--restarts", type=int, default=40,
                        help="seeds tried per S-box, two-input circuits")
    parser.add_argument("--lut-restarts", type=int, default=10,
                        help="seeds tried per S-box, three-input circuits")
    parser.add_argument("--rebuild-top", type=int, default=4,
                        help="three-input circuits: the best seeds rebuilt")
    parser.add_argument("--patience", type=int, default=56,
                        help="three-input circuits: rebuilds tried in a row "
                        "with no gain before a seed's circuit is kept")
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
            # Replaying the rebuilds is the long part: jobs at once.
            with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
                list(pool.map(lambda s: run_core(
                    args.search, ["circuit", kind, seeds[s]],
                    OUTPUT_TABLES[s]), [s for s in range(8)
                                        if seeds[s] != "cover"]))
        else:
            if kind == "gates":
                seeds = search(args.search, kind, args.restarts, args.jobs)
            else:
                seeds = search(args.search, kind, args.lut_restarts,
                               args.jobs, (args.rebuild_top, args.patience))
        text = header_text(args.search, kind, seeds, gates_seeds)
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
