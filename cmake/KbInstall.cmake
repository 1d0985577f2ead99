# SPDX-License-Identifier: GPL-3.0-or-later
# The installed layout (`cmake --install`, and the Debian package that debian/rules makes from it;
# the folders are set in KbInstallDirs.cmake):
#
#   lib/kbconfig/            kbconfig, kbctl, KB/Torvane_3.so (the hardware library), Quillet.so
#   share/kbconfig/res/      the skin and texts, the same for every architecture
#   bin/kbconfig, bin/kbctl  links into lib/kbconfig/: the programs find their folder through them
#   lib/udev/rules.d/, share/applications/, share/metainfo/, share/icons/hicolor/, share/man/,
#   share/bash-completion/
# Installed, the stores are in each user's $XDG_DATA_HOME/kbconfig/, never under the prefix.
# The virtual keyboard is for the demo and the tests only and is not installed.

install(TARGETS kbctl RUNTIME DESTINATION ${KB_APP_INSTALL_DIR})
if(TARGET kbconfig)
  install(TARGETS kbconfig RUNTIME DESTINATION ${KB_APP_INSTALL_DIR})
endif()
install(TARGETS kb_hid_hardware LIBRARY DESTINATION ${KB_APP_INSTALL_DIR}/KB)
if(TARGET quillet)
  install(TARGETS quillet LIBRARY DESTINATION ${KB_APP_INSTALL_DIR})
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/res/ DESTINATION ${KB_SHARE_INSTALL_DIR}/res
        PATTERN "README.md" EXCLUDE)

# Relative links, so that the installed tree can move (a package unpacked anywhere still runs).
foreach(program kbconfig kbctl)
  if(TARGET ${program})
    install(CODE "
      set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
      file(MAKE_DIRECTORY \"\${bin}\")
      file(CREATE_LINK ../${KB_APP_INSTALL_DIR}/${program} \"\${bin}/${program}\" SYMBOLIC)")
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/dist/${KB_UDEV_RULE_NAME} DESTINATION ${KB_UDEV_RULES_INSTALL_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/dist/kbconfig.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/org.kbconfig.kbconfig.metainfo.xml
        DESTINATION share/metainfo)

# The icon at the theme's sizes, drawn by the skin image generator with the skin's palette.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(KB_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
add_custom_command(
  OUTPUT ${KB_ICON_DIR}/hicolor/256x256/apps/kbconfig.png
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make_skin_images.py
          --desktop-icons ${KB_ICON_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make_skin_images.py
  VERBATIM)
add_custom_target(desktop_icons ALL DEPENDS ${KB_ICON_DIR}/hicolor/256x256/apps/kbconfig.png)
install(DIRECTORY ${KB_ICON_DIR}/hicolor DESTINATION share/icons)

# kbctl's manual page and bash completion, made from its --help; the program's page is written.
set(KB_DOCS_DIR ${CMAKE_BINARY_DIR}/docs)
add_custom_command(
  OUTPUT ${KB_DOCS_DIR}/kbctl.1 ${KB_DOCS_DIR}/kbctl
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KB_DOCS_DIR}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make-kbctl-docs.py
          man $<TARGET_FILE:kbctl> ${KB_DOCS_DIR}/kbctl.1
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make-kbctl-docs.py
          completion $<TARGET_FILE:kbctl> ${KB_DOCS_DIR}/kbctl
  DEPENDS kbctl ${PROJECT_SOURCE_DIR}/scripts/make-kbctl-docs.py
  VERBATIM)
add_custom_target(kbctl_docs ALL DEPENDS ${KB_DOCS_DIR}/kbctl.1 ${KB_DOCS_DIR}/kbctl)
install(FILES ${KB_DOCS_DIR}/kbctl.1 ${PROJECT_SOURCE_DIR}/dist/kbconfig.1
        DESTINATION share/man/man1)
install(FILES ${KB_DOCS_DIR}/kbctl DESTINATION share/bash-completion/completions)
