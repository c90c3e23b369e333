// cheapest.h: the look-ahead of the circuit searches, several tries each on
// a copy of the circuit, the copy that grew least kept.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "truth_table.h"

namespace ovalith::sbox_gen {

// Runs attempt(trial, i) for i < tries, each trial a copy of builder, and
// keeps in builder the trial of the least Size() (the first among equals);
// returns what its attempt returned.
template <class Builder, class Attempt>
auto Cheapest(Builder& builder, int tries, Attempt attempt) {
  std::optional<Builder> best;
  decltype(attempt(builder, 0)) result{};
  for (int i = 0; i < tries; ++i) {
    Builder trial = builder;
    const auto r = attempt(trial, i);
    if (!best || trial.Size() < best->Size()) {
      best = std::move(trial);
      result = r;
    }
  }
  builder = std::move(*best);
  return result;
}

// Splits t on an input (builder.Split): on order's first at the last level,
// mirrored never, at a coin's toss or always as mirror is 0, 1 or 2; on
// every input both ways, the cheapest kept, above it.
template <class Builder>
auto SplitCheapest(Builder& builder, Table t, Table care,
                   const std::vector<int>& order, int look, int mirror,
                   Rng& rng) {
  const std::vector<int> inputs = SplitInputs(t, care, order);
  if (look <= 0)
    return builder.Split(t, care, inputs[0],
                         mirror == 2 || (mirror == 1 && rng.Coin()), order, 0);
  return Cheapest(
      builder, 2 * static_cast<int>(inputs.size()), [&](Builder& trial, int i) {
        return trial.Split(t, care, inputs[i / 2], i % 2 != 0, order, look - 1);
      });
}

}  // namespace ovalith::sbox_gen
