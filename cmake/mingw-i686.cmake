# mingw-i686.cmake: cross build of the 32-bit Windows program with Debian's
# mingw-w64 (g++-mingw-w64-i686), posix thread model.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(OVALITH_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
