// windows_api.h: <windows.h> without the macros that
// would rename the System and View methods of the same names (LoadLibrary,
// MessageBox, ReplaceFile) in the Windows files only.
#pragma once

#include <windows.h>

#undef LoadLibrary
#undef MessageBox
#undef ReplaceFile
