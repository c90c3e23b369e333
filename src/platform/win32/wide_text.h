// wide_text.h: conversions between the core's UTF-8, the wide text of the
// Windows API and the ANSI code page that password and extension bytes use.
#pragma once

#include <optional>
#include <string>

#include "platform/win32/windows_api.h"

namespace ovalith::win32 {

// Both throw Failure on text that does not convert.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// Text of a code page (UTF-8 by default) as wide text where it must never
// fail, as in a message being written: what does not convert becomes
// U+FFFD.
std::wstring WidenLoosely(const std::string& text, UINT code_page = CP_UTF8);

// The same, between wide text and the system's 8-bit code page.  Characters
// the code page lacks become its default character.
std::wstring WidenCodePage(const std::string& bytes);
std::string NarrowCodePage(const std::wstring& wide);

// Wide text as bytes of the given 8-bit code page, none when a character
// has no byte of its own there (no best-fit look-alike, no default '?').
std::optional<std::string> NarrowExactly(UINT code_page,
                                         const std::wstring& wide);

// A message as a Windows user reads it.  Names in messages come with every
// backslash written "\x5c" (so that an escape can never be mistaken for a
// name's own text); here the backslash is the separator and never part of
// a name, so it is shown as itself.
std::string ShownOnWindows(const std::string& text);

// The system's text for an error code, without the trailing line break.
std::string SystemErrorText(DWORD error);

// name: the system's text for GetLastError().
std::string LastErrorText(const std::string& name);

}  // namespace ovalith::win32
