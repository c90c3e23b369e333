# Installation and the two Debian packages (CPack DEB):
#   ovalith      the terminal program, the cipher library, ovalith(1)
#   ovalith-gtk  the window program and its desktop files
# The programs and the library share a private directory,
# <libdir>/ovalith, and /usr/bin holds relative links to the programs: the
# program loads the library from the directory of its resolved executable,
# so it needs no search path and no public, versioned library.

include(GNUInstallDirs)

set(ovalith_private_dir ${CMAKE_INSTALL_LIBDIR}/ovalith)
set(ovalith_packaging ${CMAKE_CURRENT_LIST_DIR})
set(ovalith_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc)

install(TARGETS ovalith RUNTIME DESTINATION ${ovalith_private_dir}
        COMPONENT cli)
install(TARGETS ovalith_cipher LIBRARY DESTINATION ${ovalith_private_dir}
        COMPONENT cli)

# A relative link in bindir to a program in the private directory.
function(ovalith_install_link program component)
  file(RELATIVE_PATH target
       ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
       ${CMAKE_INSTALL_PREFIX}/${ovalith_private_dir}/${program})
  set(link ${CMAKE_BINARY_DIR}/bin-links/${program})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bin-links)
  file(CREATE_LINK ${target} ${link} SYMBOLIC)
  install(FILES ${link} DESTINATION ${CMAKE_INSTALL_BINDIR}
          COMPONENT ${component})
endfunction()

# Man pages and the changelog go in compressed, as Debian expects; gzip -n
# keeps the packages reproducible.
find_program(OVALITH_GZIP gzip REQUIRED)
function(ovalith_install_gzipped source destination component)
  get_filename_component(name ${source} NAME)
  set(output ${CMAKE_BINARY_DIR}/packaging/${component}/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/${component}
    COMMAND ${OVALITH_GZIP} -9n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  add_custom_target(gzip_${component}_${name} ALL DEPENDS ${output})
  install(FILES ${output} DESTINATION ${destination} COMPONENT ${component})
endfunction()

# The page (cmake --preset web, an Emscripten build of its own) goes in
# when given: build-debs.sh builds it first.
set(OVALITH_PAGE "" CACHE FILEPATH
    "The built page ovalith.html, installed to <datadir>/ovalith")
if(OVALITH_PAGE)
  install(FILES ${OVALITH_PAGE}
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/ovalith COMPONENT cli)
endif()

ovalith_install_link(ovalith cli)
ovalith_install_gzipped(${ovalith_packaging}/ovalith.1
                        ${CMAKE_INSTALL_MANDIR}/man1 cli)

set(ovalith_components cli)
if(TARGET ovalith-gtk)
  list(APPEND ovalith_components gtk)
  install(TARGETS ovalith-gtk RUNTIME DESTINATION ${ovalith_private_dir}
          COMPONENT gtk)
  ovalith_install_link(ovalith-gtk gtk)
  ovalith_install_gzipped(${ovalith_packaging}/ovalith-gtk.1
                          ${CMAKE_INSTALL_MANDIR}/man1 gtk)
  set(share ${CMAKE_INSTALL_DATAROOTDIR})
  install(FILES ${ovalith_packaging}/ovalith.desktop
          DESTINATION ${share}/applications COMPONENT gtk)
  install(FILES ${ovalith_packaging}/ovalith-mime.xml
          DESTINATION ${share}/mime/packages RENAME ovalith.xml COMPONENT gtk)
  # GNOME Files' context menu for the selected files, for all users, once
  # python3-nautilus is installed.
  install(FILES ${ovalith_packaging}/nautilus-ovalith.py
          DESTINATION ${share}/nautilus-python/extensions RENAME ovalith.py
          COMPONENT gtk)
  # Dolphin's context menu for every file, for all users (0644: only the
  # per-user folder wants it executable).
  install(FILES ${ovalith_packaging}/ovalith-servicemenu.desktop
          DESTINATION ${share}/kio/servicemenus RENAME ovalith.desktop
          COMPONENT gtk)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${ovalith_packaging}/icons/ovalith-${size}.png
            DESTINATION ${share}/icons/hicolor/${size}x${size}/apps
            RENAME ovalith.png COMPONENT gtk)
  endforeach()
  install(FILES ${ovalith_packaging}/icons/ovalith.svg
          DESTINATION ${share}/icons/hicolor/scalable/apps COMPONENT gtk)
endif()

foreach(component IN LISTS ovalith_components)
  if(component STREQUAL "cli")
    set(package ovalith)
  else()
    set(package ovalith-gtk)
  endif()
  install(FILES ${ovalith_packaging}/copyright
          DESTINATION ${ovalith_docdir}/${package} COMPONENT ${component})
  ovalith_install_gzipped(${ovalith_packaging}/changelog
                          ${ovalith_docdir}/${package} ${component})
endforeach()

set(OVALITH_PACKAGE_MAINTAINER "The Ovalith developers <ovalith@example.org>"
    CACHE STRING "Maintainer field of the Debian packages")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ovalith)
set(CPACK_PACKAGE_VENDOR "The Ovalith developers")
set(CPACK_PACKAGE_CONTACT ${OVALITH_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${OVALITH_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${ovalith_components})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME ovalith)
set(CPACK_COMPONENT_CLI_DESCRIPTION
    "protect files with a password (terminal program)
Ovalith encrypts a file into a container beside it (report.txt becomes
report.ov2) and decrypts a container back into the file it was made from,
one file or several with one password. It asks for the password in a small
form on the terminal, or reads it from standard input or the command line
for unattended use.

The container format is legacy-grade (single DES in ECB mode, a key folded
from the password, no integrity check): it keeps a casual reader out of a
file and nothing more.")

set(CPACK_DEBIAN_GTK_PACKAGE_NAME ovalith-gtk)
set(CPACK_DEBIAN_GTK_PACKAGE_SECTION x11)
set(CPACK_COMPONENT_GTK_DEPENDS cli)
# The menu item in GNOME Files needs the Python extension loader.
set(CPACK_DEBIAN_GTK_PACKAGE_SUGGESTS python3-nautilus)
set(CPACK_COMPONENT_GTK_DESCRIPTION
    "protect files with a password (desktop program)
The window program of Ovalith: double-click an .ov2 container in the file
manager to decrypt it, or select files and choose Encrypt or Decrypt with
Ovalith in Dolphin's context menu (in GNOME Files, with python3-nautilus,
Encrypt with Ovalith or Decrypt with Ovalith). From the application menu
it opens a file chooser. It asks for the password once in a small dialog
and shows a progress window, which stops the run when closed.

It writes the same containers as the terminal program in the ovalith
package, whose cipher library it uses.")

include(CPack)
