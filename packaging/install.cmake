# Installing as a Linux game does: the command players run (a launcher that
# starts the game in the player's own data folder), the game itself out of
# the way in libexec, the cues, the desktop entry, icons, AppStream data and
# the manual page; and CPack's .deb of the same.
include(GNUInstallDirs)

# The game has no public home yet: these name a reserved placeholder domain,
# to be set once it has one. The ID names the desktop entry, the icon and the
# metainfo, as desktops expect.
set(PEGDROP_APP_ID "org.example.Pegdrop" CACHE STRING "Reverse-domain ID of the desktop entry, icon and metainfo")
set(PEGDROP_HOMEPAGE "https://pegdrop.example.org" CACHE STRING "The game's web page")
set(PEGDROP_SCREENSHOTS "${PEGDROP_HOMEPAGE}/docs" CACHE STRING "Web folder holding docs/*.png")
set(PEGDROP_RELEASE_DATE "2026-12-08" CACHE STRING "Date of this version's release, YYYY-MM-DD")
set(CPACK_PACKAGE_VENDOR "The Pegdrop developers")
set(CPACK_PACKAGE_CONTACT "The Pegdrop developers <pegdrop@example.org>")

set(PEGDROP_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/pegdrop)
set(PEGDROP_CUES_DIR ${CMAKE_INSTALL_DATADIR}/pegdrop/sounds)
set(PEGDROP_STAGE ${CMAKE_BINARY_DIR}/packaging)

# One launcher, configured twice: the installed one finds the game and the
# cues relative to its own folder; the build tree's (make run) finds the
# built ones beside it.
file(RELATIVE_PATH PEGDROP_LAUNCH_GAME ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${PEGDROP_GAME_DIR}/pegdrop)
file(RELATIVE_PATH PEGDROP_LAUNCH_CUES ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${PEGDROP_CUES_DIR})
configure_file(packaging/pegdrop.in ${PEGDROP_STAGE}/pegdrop @ONLY)
set(PEGDROP_LAUNCH_GAME pegdrop)
file(RELATIVE_PATH PEGDROP_LAUNCH_CUES ${CMAKE_BINARY_DIR} ${PEGDROP_SHARE_DIR}/sounds)
configure_file(packaging/pegdrop.in ${CMAKE_BINARY_DIR}/pegdrop-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)

configure_file(packaging/pegdrop.desktop.in ${PEGDROP_STAGE}/${PEGDROP_APP_ID}.desktop @ONLY)
configure_file(packaging/pegdrop.metainfo.xml.in ${PEGDROP_STAGE}/${PEGDROP_APP_ID}.metainfo.xml @ONLY)
configure_file(packaging/pegdrop.6.in ${PEGDROP_STAGE}/pegdrop.6 @ONLY)

# The licence as Debian reads it: LICENSE's permission text, each line
# indented and each blank line a lone dot.
file(READ LICENSE PEGDROP_LICENSE_TEXT)
string(REGEX REPLACE "^.*\n(Permission is hereby granted)" "\\1" PEGDROP_LICENSE_TEXT "${PEGDROP_LICENSE_TEXT}")
string(STRIP "${PEGDROP_LICENSE_TEXT}" PEGDROP_LICENSE_TEXT)
string(REPLACE "\n\n" "\n.\n" PEGDROP_LICENSE_TEXT "${PEGDROP_LICENSE_TEXT}")
string(REPLACE "\n" "\n " PEGDROP_LICENSE_TEXT " ${PEGDROP_LICENSE_TEXT}")
configure_file(packaging/copyright.in ${PEGDROP_STAGE}/copyright @ONLY)

# The changelog's date is the release date, as mail dates are written.
execute_process(COMMAND date -u -R -d "${PEGDROP_RELEASE_DATE}" OUTPUT_VARIABLE PEGDROP_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE date_status)
if(NOT date_status EQUAL 0 OR NOT PEGDROP_RELEASE_DATE MATCHES "^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$")
  message(FATAL_ERROR "PEGDROP_RELEASE_DATE is '${PEGDROP_RELEASE_DATE}', not a date YYYY-MM-DD")
endif()
configure_file(packaging/changelog.in ${PEGDROP_STAGE}/changelog @ONLY)

# The manual page and the changelog compressed, as Debian keeps them; -n
# leaves out the time so that the same text gives the same bytes.
foreach(text pegdrop.6 changelog)
  add_custom_command(
    OUTPUT ${PEGDROP_STAGE}/${text}.gz
    COMMAND gzip -9 -n -c ${PEGDROP_STAGE}/${text} > ${PEGDROP_STAGE}/${text}.gz
    DEPENDS ${PEGDROP_STAGE}/${text}
    COMMENT "Compressing ${text}")
endforeach()

# The icon painted at each size of the hicolor theme.
add_custom_command(
  OUTPUT ${PEGDROP_STAGE}/icons/.stamp
  COMMAND pegdrop-icons ${PEGDROP_STAGE}/icons ${PEGDROP_APP_ID}
  COMMAND ${CMAKE_COMMAND} -E touch ${PEGDROP_STAGE}/icons/.stamp
  DEPENDS pegdrop-icons
  COMMENT "Painting the desktop icons")
add_custom_target(install_data ALL DEPENDS ${PEGDROP_STAGE}/icons/.stamp ${PEGDROP_STAGE}/pegdrop.6.gz
                                          ${PEGDROP_STAGE}/changelog.gz)

install(TARGETS pegdrop RUNTIME DESTINATION ${PEGDROP_GAME_DIR})
# The command: under /usr, where Debian keeps games, in games/; under any
# other prefix (/usr/local, ~/.local) in bin/, which is on everyone's PATH
# there. Both lie beside libexec/, so the launcher's relative paths hold.
install(CODE "
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(pegdrop_command_dir games)
  else()
    set(pegdrop_command_dir ${CMAKE_INSTALL_BINDIR})
  endif()
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/\${pegdrop_command_dir}\" TYPE PROGRAM
       FILES \"${PEGDROP_STAGE}/pegdrop\")")
install(DIRECTORY ${PEGDROP_SHARE_DIR}/sounds/ DESTINATION ${PEGDROP_CUES_DIR}
        FILES_MATCHING PATTERN "*.wav")
install(FILES ${PEGDROP_STAGE}/${PEGDROP_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PEGDROP_STAGE}/${PEGDROP_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PEGDROP_STAGE}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
        FILES_MATCHING PATTERN "*.png")
install(FILES ${PEGDROP_STAGE}/pegdrop.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PEGDROP_STAGE}/copyright ${PEGDROP_STAGE}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/pegdrop)

# make package: a .deb for Debian 12. The libraries' packages come from
# dpkg-shlibdeps; the fonts the game asks fontconfig for are named by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pegdrop)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "peg board game: drop a chip into the prize slots")
set(CPACK_PACKAGE_DESCRIPTION
    "Drag a chip along the top of an upright peg board, let it go, and watch it
bounce from peg to peg into one of nine prize slots. A five-chip tournament
is ranked in a table of the ten best totals; a fun game is one to nine chips.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PEGDROP_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dseg")
# Names typed in Chinese, Japanese or Korean are drawn with its letters.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-droid-fallback")
include(CPack)

if(PEGDROP_TESTS)
  # Installs into a staging folder, builds the .deb and checks both.
  add_test(NAME install_check
    COMMAND ${PROJECT_SOURCE_DIR}/tests/install/check_install.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION}
            ${PEGDROP_APP_ID} ${PROJECT_SOURCE_DIR}/docs)
  set_tests_properties(install_check PROPERTIES LABELS install TIMEOUT 300)
endif()
