// scripted_platform.h: a user played from a script (ScriptedView) on the
// real system, with a stand-in cipher library when a test names one.
#pragma once

#include <string>
#include <vector>

#include "platform/linux/executable_directory.h"
#include "platform/posix/posix_system.h"
#include "scripted_view.h"
#include "ui/frm_main.h"

namespace ovalith {

class ScriptedPlatform : public PosixSystem, public ScriptedView {
 public:
  explicit ScriptedPlatform(std::vector<std::string> args)
      : PosixSystem(std::move(args), LinuxExecutableDirectory()) {}

  // Loads this library instead of the cipher library.
  std::string library_name = "ovalith";

  void* LoadLibrary(const std::string& name) override {
    return PosixSystem::LoadLibrary(name == "ovalith" ? library_name : name);
  }
};

inline int RunProgram(ScriptedPlatform& p) { return frmMain(p, p).Run(); }

}  // namespace ovalith
