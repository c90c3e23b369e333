// keyboard.h: keys from a POSIX terminal, one at a time and without echo,
// for the masked password fields and the answers to questions.
#pragma once

#include <termios.h>

#include "ui/terminal/console.h"

namespace ovalith {

// While alive, the terminal on fd delivers each key as it is typed and
// shows nothing by itself; the settings come back on destruction, and on a
// signal that ends the program.
class RawMode {
 public:
  explicit RawMode(int fd);
  ~RawMode();
  RawMode(const RawMode&) = delete;
  RawMode& operator=(const RawMode&) = delete;

  // Puts the saved settings back for a while (before stopping the process)
  // and takes character mode up again.
  void Suspend();
  void Resume();

 private:
  int fd_;
  bool active_ = false;
  termios saved_{};
};

// Reads one key from fd (in raw mode).
Key ReadKey(int fd);

}  // namespace ovalith
