// win32_files.h: input and output files through the wide-character file API.
#pragma once

#include <memory>
#include <string>

#include "platform/system.h"

namespace ovalith::win32 {

// Read-only, shared for reading, so the input cannot change under a run.
std::unique_ptr<InputFile> OpenInputFile(const std::string& path);

// A new file, never an existing one: nullptr when path exists.  Other
// errors throw Failure.
std::unique_ptr<OutputFile> CreateNewFile(const std::string& path);

}  // namespace ovalith::win32
