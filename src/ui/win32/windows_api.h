// windows_api.h: <windows.h> for the front end, without the macros that
// would rename the Platform methods of the same names (LoadLibrary,
// MessageBox, ReplaceFile) in this front end's files only.
#pragma once

#include <windows.h>

#undef LoadLibrary
#undef MessageBox
#undef ReplaceFile
