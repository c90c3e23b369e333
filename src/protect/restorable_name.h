// restorable_name.h: which names a container may restore, decided in one
// place for both directions, so that no container is ever written that
// this program would refuse to restore.
#pragma once

#include <string>

#include "cipher/block_type.h"
#include "platform/system.h"

namespace ovalith {

// The name a decrypted header restores the container listed as
// container_name to.  The stored extension comes from a block anyone can
// craft: the name it makes must stay a plain file in the working
// directory, else Failure.
std::string SafeRestoredName(const System& system,
                             const std::string& container_name,
                             const BlockType& header);

// Failure, naming the cause, when the container of the file listed as
// plain_name could not be restored.
void CheckRestorable(const System& system, const std::string& plain_name);

}  // namespace ovalith
