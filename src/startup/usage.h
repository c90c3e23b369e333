// usage.h: the usage message with which every failure ends the program.
#pragma once

namespace ovalith {

// Six lines joined by "\r\n".
extern const char kUsageText[];

}  // namespace ovalith
