// resources.h: identifiers shared by the resource script and the code.
#pragma once

#define OVALITH_ICON 1
