// windows_names.h: which names the program may create in the working
// directory under Windows' naming rules.
#pragma once

#include <string>

namespace ovalith::win32 {

// True when name (UTF-8) names a file in the working directory and nothing
// else: no separator, drive or stream colon, wildcard, quote, pipe or
// control character; not "." or ".."; not a device such as NUL or COM1, with
// or without an extension; and not a name that Windows' dropping of
// trailing dots and blanks would turn into an empty one.
//
// A trailing dot or blank is otherwise allowed: Windows drops it, as it does
// for every program, so "notes." is written as "notes" (the name a lookup of
// "notes." finds as well), which keeps containers made elsewhere usable.
bool IsPlainWindowsName(const std::string& name);

}  // namespace ovalith::win32
