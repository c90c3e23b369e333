// run.h: what the encryption and decryption runs work on, and how they end.
#pragma once

#include <string>

#include "cipher/block_type.h"
#include "cipher/cipher_library.h"
#include "platform/system.h"
#include "platform/view.h"

namespace ovalith {

enum class RunOutcome {
  kCompleted,  // the output is in place and both files are closed
  kRefused,    // a check or the user stopped the run; a message said why
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
};

// Asks before replacing an existing file of that name; true to go on.
bool MayWrite(System& system, View& view, const std::string& name);

RunOutcome EncryptionRun(RunState& run);
RunOutcome DecryptionRun(RunState& run);

}  // namespace ovalith
