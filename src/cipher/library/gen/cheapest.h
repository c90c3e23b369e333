// cheapest.h: the look-ahead of the circuit searches, several tries each on
// a copy of the circuit, the copy that grew least kept.
#pragma once

#include <optional>
#include <utility>

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

}  // namespace ovalith::sbox_gen
