# SPDX-License-Identifier: GPL-3.0-or-later
# Installation and the Debian package: the programs, their manual pages, the
# menu entry, the AppStream description and icon, the copyright and the
# changelog; `cpack -G DEB` in the build folder makes the package.
include(GNUInstallDirs)

# The shipped experiment files, found by the program beside itself once
# installed, and in the source tree by a development build.
file(RELATIVE_PATH _examples_from_binary ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/velmor5/examples)
set_source_files_properties(
  ${CMAKE_SOURCE_DIR}/src/ui/experiment_menu.cpp
  PROPERTIES COMPILE_DEFINITIONS "VELMOR_EXAMPLES_FROM_BINARY=\"${_examples_from_binary}\";VELMOR_EXAMPLES_SOURCE_DIR=\"${CMAKE_SOURCE_DIR}/examples\"")

set(VELMOR_MAINTAINER "Velmor5 maintainers <velmor5-maintainers@lists.velmor.org>")

# The changelog and the AppStream releases list every version; their newest
# entry must be the version above, or the package would contradict itself.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog _changelog_top LIMIT_COUNT 1)
if(NOT _changelog_top MATCHES "^velmor5 \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry is not version ${PROJECT_VERSION}")
endif()
file(READ ${CMAKE_CURRENT_LIST_DIR}/org.velmor.velmor5.metainfo.xml.in _metainfo)
if(NOT _metainfo MATCHES "<releases>[ \t\r\n]*<release version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR
          "packaging/org.velmor.velmor5.metainfo.xml.in: the newest release is not ${PROJECT_VERSION}")
endif()

# AppStream wants screenshots as web addresses; the project publishes none
# yet, so they are listed only when a build is told where they are.
set(VELMOR_SCREENSHOT_URL "" CACHE STRING
    "Web address of a folder with docs/screenshots/*.png for the AppStream data")
set(VELMOR_SCREENSHOTS "")
if(VELMOR_SCREENSHOT_URL)
  file(STRINGS ${CMAKE_SOURCE_DIR}/README.md _shots REGEX "^!\\[.*\\]\\(docs/screenshots/.*\\.png\\)$")
  set(_type " type=\"default\"")
  foreach(_shot IN LISTS _shots)
    string(REGEX REPLACE "^!\\[(.*)\\]\\(docs/screenshots/(.*)\\)$" "\\1" _caption "${_shot}")
    string(REGEX REPLACE "^!\\[(.*)\\]\\(docs/screenshots/(.*)\\)$" "\\2" _file "${_shot}")
    string(APPEND VELMOR_SCREENSHOTS
           "    <screenshot${_type}>\n      <caption>${_caption}</caption>\n"
           "      <image>${VELMOR_SCREENSHOT_URL}/${_file}</image>\n    </screenshot>\n")
    set(_type "")
  endforeach()
  set(VELMOR_SCREENSHOTS "  <screenshots>\n${VELMOR_SCREENSHOTS}  </screenshots>")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/org.velmor.velmor5.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/org.velmor.velmor5.metainfo.xml @ONLY)
# The manual pages carry the date of that entry.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog _signoff REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE "^.*>  [A-Za-z]+, ([0-9]+ [A-Za-z]+ [0-9]+) .*$" "\\1" VELMOR_RELEASE_DATE
                     "${_signoff}")

# Manual pages: velmor5(1) as written, velmor5-script(1) with the driver's
# commands taken from docs/driver.md; both compressed as Debian wants them.
set(_man_dir ${CMAKE_BINARY_DIR}/man)
configure_file(${CMAKE_SOURCE_DIR}/docs/velmor5.1.in ${_man_dir}/velmor5.1 @ONLY)
# The commands' mark is for tools/driver-man.sh, not for configure_file.
set(DRIVER_COMMANDS "@DRIVER_COMMANDS@")
configure_file(${CMAKE_SOURCE_DIR}/docs/velmor5-script.1.in ${_man_dir}/velmor5-script.1.head
               @ONLY)
add_custom_command(
  OUTPUT ${_man_dir}/velmor5-script.1
  COMMAND sh ${CMAKE_SOURCE_DIR}/tools/driver-man.sh ${_man_dir}/velmor5-script.1.head
          ${CMAKE_SOURCE_DIR}/docs/driver.md ${_man_dir}/velmor5-script.1
  DEPENDS ${_man_dir}/velmor5-script.1.head ${CMAKE_SOURCE_DIR}/docs/driver.md
          ${CMAKE_SOURCE_DIR}/tools/driver-man.sh
  COMMENT "Manual page velmor5-script(1)")
set(_doc_files)
foreach(_page velmor5.1 velmor5-script.1)
  add_custom_command(
    OUTPUT ${_man_dir}/${_page}.gz
    COMMAND gzip -9nc ${_page} > ${_page}.gz
    DEPENDS ${_man_dir}/${_page}
    WORKING_DIRECTORY ${_man_dir})
  list(APPEND _doc_files ${_man_dir}/${_page}.gz)
endforeach()
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog)
add_custom_target(velmor_docs ALL DEPENDS ${_doc_files} ${CMAKE_BINARY_DIR}/changelog.gz)

install(TARGETS velmor5 velmor5-script RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_doc_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmor5)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmor5/examples
        FILES_MATCHING PATTERN "*.txt")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/velmor5/examples
        FILES_MATCHING PATTERN "*.velmor")
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.velmor.velmor5.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.velmor.velmor5.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${CMAKE_BINARY_DIR}/org.velmor.velmor5.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.velmor.velmor5.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Lintian tags that have to stay, each with its reason in a comment; there
# are none at present (tools/check-package.sh).
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME velmor5)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmor5)
set(CPACK_PACKAGE_VENDOR "Velmor5 developers")
set(CPACK_PACKAGE_CONTACT "${VELMOR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmor5 is a desktop workbench for computational experiments on the classical
and relativistic Doppler effect. A moving source and a moving receiver are
placed in a plane; a step-by-step experiment lets wave fronts spread from the
source, measures the period and frequency the receiver observes, and sets
them beside the predictions of the Doppler formulas as a report, graphs and
an animation.

Further workbenches cover propagation through a medium of variable optical
density and retarded potentials, the recomputation of an instant into a
moving inertial frame, a moving Michelson interferometer with its
interference picture, and a calculator for rotor and ion-beam experiments.
The interface is in Russian.

The package also holds velmor5-script, which runs the same windows without a
screen, driven by a script.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; what Qt loads at
# run time is named here: the platform plugins (no window without them), the
# SVG plugin (the window icon), Qt's Russian texts, and the font the pictures
# are drawn with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, qt6-translations-l10n, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
