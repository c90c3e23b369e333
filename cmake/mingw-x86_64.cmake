# mingw-x86_64.cmake: cross build of the 64-bit Windows program with
# Debian's mingw-w64 (g++-mingw-w64-x86-64), posix thread model.  Used where
# only 64-bit programs run, as under a Wine without its 32-bit half.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(OVALITH_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
