// scripted_run.h: what the core's tests share: an in-memory file system with
// the directory they keep their files in, and a run of the program on a
// command line with the scripted view as its front end.
#pragma once

#include <string>
#include <vector>

#include "memory_system.h"
#include "scripted_view.h"

namespace ovalith::test {

// The directory the tests' files are in.
inline const std::string kDir = "/home/user/files";

inline std::string In(const std::string& name) { return kDir + "/" + name; }

// A file system with the tests' directory in it, empty.
struct Disk : MemorySystem {
  Disk() { MakeDirectory(kDir); }
  std::vector<std::string> Files() const { return List(kDir); }
};

// Runs the program on args; the view shows what the user saw.
inline int RunOn(MemorySystem& system, ScriptedView& view,
                 std::vector<std::string> args) {
  system.SetArguments(std::move(args));
  return RunProgram(system, view);
}

}  // namespace ovalith::test
