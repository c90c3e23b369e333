// display_text.h: text on a terminal: made safe to print (names come from
// the file system and may hold bytes that a terminal would obey), split
// into lines, counted.
#pragma once

#include <string>
#include <vector>

namespace ovalith {

// Control characters, C1 controls and bytes that are not UTF-8 are written
// as \xNN; everything else is kept.
std::string EscapeForTerminal(const std::string& text);

// Splits a message text into its lines (joined by "\r\n").
std::vector<std::string> SplitLines(const std::string& text);

// Number of characters a terminal shows for UTF-8 text (continuation bytes
// do not count).
std::size_t CharacterCount(const std::string& text);

}  // namespace ovalith
