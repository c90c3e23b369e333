# mingw-x86_64.cmake: cross build of the 64-bit Windows program with
# Debian's mingw-w64 (g++-mingw-w64-x86-64), posix thread model.  Used where
# only 64-bit programs run, as under a Wine without its 32-bit half.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(OVALITH_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${OVALITH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OVALITH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${OVALITH_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${OVALITH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
