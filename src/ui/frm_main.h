// frm_main.h: the main window object.  It owns all of the program's state
// for the life of the process; creating it and calling Run is what starting
// the program means.
#pragma once

#include <string>

#include "cipher/block_type.h"
#include "cipher/cipher_library.h"
#include "platform/system.h"
#include "platform/view.h"

namespace ovalith {

// Process exit statuses.
enum ExitStatus {
  kCompleted = 0,     // a run completed
  kUsageMessage = 1,  // ended through the usage message
  kNotCompleted = 2,  // ended otherwise: Cancel, Escape, the close box
};

class frmMain {
 public:
  frmMain(System& system, View& view) : system_(system), view_(view) {}

  // Runs start-up, then the main window until the program ends; returns
  // the exit status.
  int Run();

  // Start-up (startup/form_load.cpp).
  void Form_Load();
  std::string FilePath(const std::string& Path);
  [[noreturn]] void Fout(const std::string& cause);

  // Window events.
  void Decrypt();
  void cmdOK_Click();
  void cmdCancel_Click();
  void Form_Unload();

  std::string FileName;
  std::string ShortName;
  bool DecryptMode = false;
  BlockType InBlock;
  BlockType NextBlock;
  BlockType OutBlock;
  BlockType KeyBlock;

 private:
  // Unloads both windows and ends the program with status.
  [[noreturn]] void End(int status);

  System& system_;
  View& view_;
  CipherLibrary cipher_{system_};
};

}  // namespace ovalith
