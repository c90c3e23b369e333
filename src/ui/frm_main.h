// frm_main.h: the main window object.  It owns all of the program's state
// for the life of the process; creating it and calling Run is what starting
// the program means.
#pragma once

#include <string>
#include <vector>

#include "cipher/block_type.h"
#include "cipher/cipher_library.h"
#include "platform/system.h"
#include "platform/view.h"
#include "protect/run.h"
#include "ui/file_set.h"

namespace ovalith {

// Process exit statuses.
enum ExitStatus {
  kCompleted = 0,     // a run completed (every file of a set was done)
  kUsageMessage = 1,  // ended through the usage message (a file failed)
  kNotCompleted = 2,  // ended otherwise: Cancel, Escape, the close box, a
                      // stopped run, a declined file of a set
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
  // The files when the command line named several (empty for one).
  std::vector<SetFile> Files;

 private:
  // Enters path's directory (and tells it) and finds the file there, whose
  // listed name becomes ShortName; the absolute path.  Failure when it is
  // not there.
  std::string Locate(std::string path, std::string* directory = nullptr);
  // Start-up of a set: each file found, its mode, the window's mode.
  // given: the paths as named; paths: the same made absolute.
  void LoadSet(const std::vector<std::string>& given,
               const std::vector<std::string>& paths);
  // The password of the boxes as key bytes; none after a refusal.
  std::optional<std::string> ReadPassword();
  // One file (cmdOK_Click), or each file of the set.
  void RunOne();
  void RunSet();
  // The checks a set makes once before anything is written; false after a
  // refusal.
  bool CheckSetPassword(const std::string& password);
  RunOutcome RunFile(SetFile& file, SetRun& set, const std::string& password,
                     std::uint64_t base);

  // Unloads both windows and ends the program with status.
  [[noreturn]] void End(int status);

  System& system_;
  View& view_;
  CipherLibrary cipher_{system_};
};

}  // namespace ovalith
