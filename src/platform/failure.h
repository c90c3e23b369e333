// failure.h: Failure, the one kind of run-time failure.  Whatever raises
// it, the program ends through the usage message with its text as the cause.
#pragma once

#include <stdexcept>

namespace ovalith {

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace ovalith
