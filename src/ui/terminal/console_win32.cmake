# console_win32.cmake: ovalith-cli.exe, the terminal program on the Windows
# console.  Included by the top-level CMakeLists.txt after win32.cmake.

add_executable(ovalith_cli
  ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/terminal/main_cli_win32.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/terminal/win32_console.cpp
)
set_target_properties(ovalith_cli PROPERTIES OUTPUT_NAME ovalith-cli)
target_link_libraries(ovalith_cli PRIVATE ovalith_win32 ovalith_terminal)
if(MINGW)
  # Like ovalith.exe: no runtime DLLs, Windows 7 declared.
  target_link_options(ovalith_cli PRIVATE -static $<$<CONFIG:Release>:-s>
    -Wl,--subsystem,console:6.1
    LINKER:--major-os-version,6,--minor-os-version,1)
endif()
add_dependencies(ovalith_cli ovalith_cipher)
