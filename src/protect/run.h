// run.h: what the encryption and decryption runs work on, and how they end.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "cipher/block_type.h"
#include "cipher/cipher_library.h"
#include "platform/system.h"
#include "platform/view.h"
#include "protect/pending_output.h"
#include "protect/progress.h"

namespace ovalith {

enum class RunOutcome {
  kCompleted,  // the output is in place and both files are closed
  kRefused,    // a check or the user stopped the run; a message said why
  // Only in a set of files, where no message is shown for them: why says.
  kDeclined,  // the user kept the existing output
  kSkipped,   // the file cannot be done (wrong password, output taken)
};

// What a run of one file of several shares with the others.
struct SetRun {
  // The outputs this run put in place, by FileIdentity: a later file of
  // the set never replaces one of them.
  std::set<std::string> written;
  // Why the file was declined or skipped.
  std::string why;
};

// The main window's members, lent to a run for its length.
struct RunState {
  System& system;
  View& view;
  CipherLibrary& cipher;
  const std::string& FileName;   // the input, as opened
  const std::string& ShortName;  // its listed name, outputs are named from
  BlockType& InBlock;
  BlockType& NextBlock;
  BlockType& OutBlock;
  const BlockType& KeyBlock;
  // The password as the key was folded from it (code page bytes).
  const std::string& Password;
  SetRun* set = nullptr;            // when the file is one of several
  std::uint64_t progress_base = 0;  // bytes of the set done before it
};

// The checks of a password that will encrypt: long enough, typed twice
// alike.  False after the message that says which failed.
bool CheckEncryptionPassword(View& view, const std::string& password);

// The message of a container whose header the password does not open.
void ShowWrongPassword(View& view);

// Whether the run may write its output name: on when it does not exist, or
// the user said Yes to replacing it; otherwise how the run ends.  An output
// that is the run's own input is a Failure before anything is written.
std::optional<RunOutcome> CheckOutput(RunState& run, const std::string& name);

// Puts the output in place and, in a set, remembers it.
void CommitOutput(RunState& run, PendingOutput& output,
                  const std::string& name);

RunOutcome EncryptionRun(RunState& run);
RunOutcome DecryptionRun(RunState& run);

}  // namespace ovalith
