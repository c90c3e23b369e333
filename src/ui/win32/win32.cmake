# win32.cmake: ovalith.exe, the Win32 front end over the core.  Included by
# the top-level CMakeLists.txt on Windows targets.

set(OVALITH_WIN32_DIR ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/win32)
set(OVALITH_WIN32_SYSTEM_DIR ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/win32)

add_library(ovalith_win32 STATIC
  ${OVALITH_WIN32_SYSTEM_DIR}/command_line.cpp
  ${OVALITH_WIN32_SYSTEM_DIR}/wide_text.cpp
  ${OVALITH_WIN32_SYSTEM_DIR}/win32_files.cpp
  ${OVALITH_WIN32_SYSTEM_DIR}/win32_system.cpp
  ${OVALITH_WIN32_SYSTEM_DIR}/windows_names.cpp
  ${OVALITH_WIN32_DIR}/dialog_frame.cpp
  ${OVALITH_WIN32_DIR}/file_chooser.cpp
  ${OVALITH_WIN32_DIR}/main_window.cpp
  ${OVALITH_WIN32_DIR}/progress_window.cpp
  ${OVALITH_WIN32_DIR}/win32_view.cpp
)
# Windows 7 API level; UNICODE so that no narrow API slips in by accident.
target_compile_definitions(ovalith_win32 PUBLIC
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_link_libraries(ovalith_win32 PUBLIC ovalith_core comctl32 comdlg32 gdi32 user32)

add_executable(ovalith WIN32
  ${OVALITH_WIN32_DIR}/main_win32.cpp
  ${OVALITH_WIN32_DIR}/ovalith.rc
)
target_link_libraries(ovalith PRIVATE ovalith_win32)
if(MINGW)
  # Runs on a bare Windows: no libstdc++, libgcc or winpthread DLLs.  It
  # needs Windows 7 (the library search flags of LoadLibraryExW, common
  # controls 6) and says so in its header.
  target_link_options(ovalith PRIVATE -static $<$<CONFIG:Release>:-s>
    -Wl,--subsystem,windows:6.1)
endif()
add_dependencies(ovalith ovalith_cipher)

# Checks of the Win32-only pieces, run under Wine by tests/wine.
add_executable(ovalith_win32_checks
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/wine/win32_checks.cpp)
target_link_libraries(ovalith_win32_checks PRIVATE ovalith_win32)

# Tells the tests when a window is ready for keys.
add_executable(ovalith_window_probe
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/wine/window_probe.cpp)
target_link_libraries(ovalith_window_probe PRIVATE user32 shell32)

# A stand-in ovalith.dll that leaves a file behind when it is loaded, in
# marker/ so that it never takes the real library's place.
add_library(ovalith_marker SHARED
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/wine/marker_library.cpp)
target_include_directories(ovalith_marker PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
set_target_properties(ovalith_marker PROPERTIES
  PREFIX "" OUTPUT_NAME ovalith
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/marker
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/marker)
if(MINGW)
  target_link_options(ovalith_win32_checks PRIVATE -static)
  target_link_options(ovalith_window_probe PRIVATE -static)
  target_link_options(ovalith_marker PRIVATE -static -Wl,--kill-at)
  # Every PE file declares the Windows it needs: 7 (6.1), for the library
  # search flags of LoadLibraryExW and common controls 6.
  foreach(target ovalith ovalith_cipher ovalith_win32_checks
                 ovalith_window_probe ovalith_marker)
    target_link_options(${target} PRIVATE
      LINKER:--major-os-version,6,--minor-os-version,1
      LINKER:--major-subsystem-version,6,--minor-subsystem-version,1)
  endforeach()
endif()
