# gtk.cmake: ovalith-gtk, the GTK 4 front end over the core, built when
# GTK 4 is found (OVALITH_GTK=AUTO), always (ON) or never (OFF).  The
# terminal program does not depend on it.  Included by the top-level
# CMakeLists.txt on POSIX systems.

set(OVALITH_GTK AUTO CACHE STRING "Build ovalith-gtk: AUTO, ON or OFF")
set_property(CACHE OVALITH_GTK PROPERTY STRINGS AUTO ON OFF)

if(NOT OVALITH_GTK STREQUAL "OFF")
  find_package(PkgConfig)
  if(PKG_CONFIG_FOUND)
    pkg_check_modules(OVALITH_GTK4 IMPORTED_TARGET gtk4>=4.8)
  endif()
  if(OVALITH_GTK STREQUAL "ON" AND NOT OVALITH_GTK4_FOUND)
    message(FATAL_ERROR "OVALITH_GTK=ON but GTK 4 (>= 4.8) was not found: "
                        "install libgtk-4-dev")
  endif()
  if(OVALITH_GTK4_FOUND)
    set(OVALITH_GTK_DIR ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/gtk)
    add_executable(ovalith-gtk
      ${OVALITH_GTK_DIR}/main_gtk.cpp
      ${OVALITH_GTK_DIR}/gtk_view.cpp
      ${OVALITH_GTK_DIR}/main_window.cpp
      ${OVALITH_GTK_DIR}/progress_window.cpp
      ${OVALITH_GTK_DIR}/message_box.cpp
      ${OVALITH_GTK_DIR}/file_chooser.cpp
      ${OVALITH_GTK_DIR}/dialog_layout.cpp
    )
    target_link_libraries(ovalith-gtk PRIVATE ovalith_posix PkgConfig::OVALITH_GTK4)
    add_dependencies(ovalith-gtk ovalith_cipher)
    message(STATUS "ovalith-gtk: building with GTK ${OVALITH_GTK4_VERSION}")
  else()
    message(STATUS "ovalith-gtk: GTK 4 not found, not built")
  endif()
endif()
