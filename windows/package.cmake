# What a Windows player gets (the top-level CMakeLists.txt includes this on
# Windows, before the game's target):
# - pegdrop.exe's resources: the version record, the drawn icon and the
#   manifest, compiled by windres into the game through PEGDROP_WIN_RESOURCES;
# - the target windows-package: pegdrop-VERSION-win64.zip and
#   pegdrop-VERSION-setup.exe in the build folder (windows/package.sh);
# - their tests, labelled windows-package: the resources read back, the zip's
#   contents, the installer under Wine and a tournament played from the zip.
#
# The icon is drawn by pegdrop-ico, a tool of this machine, not of Windows:
# host-tools/ in the build folder builds it from these sources natively
# (tools/host.cmake).

enable_language(RC)

set(PEGDROP_WIN_VERSION ${PROJECT_VERSION}) # four parts, as Windows shows versions
# The version record's texts: the minor number in two digits, "1.03".
if(PROJECT_VERSION_MINOR LESS 10)
  set(PEGDROP_WIN_VERSION_TEXT ${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR})
else()
  set(PEGDROP_WIN_VERSION_TEXT ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
endif()
set(PEGDROP_WIN_SHORT_VERSION
    ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(PEGDROP_WIN_OUT ${CMAKE_BINARY_DIR}/windows)

# pegdrop-ico comes from the tools built for this machine (tools/host.cmake).
set(PEGDROP_ICO_TOOL ${PEGDROP_HOST_TOOLS}/tools/pegdrop-ico)

# ---- The resources
set(PEGDROP_WIN_ICO ${PEGDROP_WIN_OUT}/pegdrop.ico)
set(PEGDROP_WIN_MANIFEST ${PEGDROP_WIN_OUT}/pegdrop.manifest)
set(PEGDROP_WIN_RC ${PEGDROP_WIN_OUT}/pegdrop.rc)
add_custom_command(
  OUTPUT ${PEGDROP_WIN_ICO}
  COMMAND ${PEGDROP_ICO_TOOL} ${PEGDROP_WIN_ICO}
  DEPENDS host_tools ${PEGDROP_ICO_TOOL}
  COMMENT "Drawing the Windows icon")
configure_file(${CMAKE_CURRENT_LIST_DIR}/pegdrop.manifest ${PEGDROP_WIN_MANIFEST} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pegdrop.rc.in ${PEGDROP_WIN_RC} @ONLY)
# windres does not tell CMake what the .rc pulls in.
set_source_files_properties(${PEGDROP_WIN_RC} PROPERTIES
  OBJECT_DEPENDS "${PEGDROP_WIN_ICO};${PEGDROP_WIN_MANIFEST}")
set(PEGDROP_WIN_RESOURCES ${PEGDROP_WIN_RC})

# ---- The zip and the installer
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${PEGDROP_WIN_OUT}/README.txt @ONLY)
set(PEGDROP_WIN_ZIP ${CMAKE_BINARY_DIR}/pegdrop-${PEGDROP_WIN_SHORT_VERSION}-win64.zip)
set(PEGDROP_WIN_SETUP ${CMAKE_BINARY_DIR}/pegdrop-${PEGDROP_WIN_SHORT_VERSION}-setup.exe)
set(PEGDROP_WIN_STAGE ${CMAKE_BINARY_DIR}/package/pegdrop-${PEGDROP_WIN_SHORT_VERSION}-win64)
# What the rest of the Windows build makes: the cues (pegdrop-sounds under
# Wine) and the fonts shipped beside the game (windows/build.cmake).
set(PEGDROP_WIN_SOUNDS ${CMAKE_BINARY_DIR}/share/pegdrop/sounds)
set(PEGDROP_WIN_FONTS ${CMAKE_BINARY_DIR}/fonts)
set(PEGDROP_WIN_DEPS_SRC ${PEGDROP_WIN_DEPS}/../src)
add_custom_command(
  OUTPUT ${PEGDROP_WIN_ZIP} ${PEGDROP_WIN_SETUP}
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/package.sh ${CMAKE_BINARY_DIR} ${PEGDROP_WIN_SHORT_VERSION}
          $<TARGET_FILE:pegdrop> ${PEGDROP_WIN_SOUNDS} ${PEGDROP_WIN_FONTS} ${PEGDROP_WIN_ICO}
          ${PEGDROP_WIN_OUT}/README.txt ${PEGDROP_WIN_DEPS_SRC}
  DEPENDS pegdrop play_data shipped_fonts $<TARGET_FILE:pegdrop> ${PEGDROP_WIN_SOUNDS}/.stamp
          ${PEGDROP_WIN_FONTS}/.stamp ${PEGDROP_WIN_ICO} ${PEGDROP_WIN_OUT}/README.txt
          ${CMAKE_CURRENT_LIST_DIR}/package.sh ${CMAKE_CURRENT_LIST_DIR}/pegdrop.nsi
          ${PROJECT_SOURCE_DIR}/LICENSE
  COMMENT "Packing the Windows zip and installer")
add_custom_target(windows-package DEPENDS ${PEGDROP_WIN_ZIP} ${PEGDROP_WIN_SETUP})

# ---- The proof
if(PEGDROP_TESTS)
  enable_testing()
  # Made by a test of its own, so that ctest alone packs before it checks.
  add_test(NAME windows_package_made
    COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target windows-package)
  set_tests_properties(windows_package_made PROPERTIES
    FIXTURES_SETUP windows_package LABELS windows-package TIMEOUT 600)

  add_test(NAME windows_resources
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/check-resources.sh $<TARGET_FILE:pegdrop> ${PEGDROP_WIN_ICO}
            ${PEGDROP_WIN_VERSION} ${PEGDROP_WIN_VERSION_TEXT})
  add_test(NAME windows_package_contents
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/check-package.sh ${PEGDROP_WIN_ZIP} $<TARGET_FILE:pegdrop>
            ${PEGDROP_WIN_SOUNDS} ${PEGDROP_WIN_FONTS})
  set_tests_properties(windows_resources windows_package_contents PROPERTIES
    FIXTURES_REQUIRED windows_package LABELS windows-package TIMEOUT 60)

  # Under Wine in real windows on Xvfb, one at a time as the Linux e2e runs.
  add_test(NAME wine_install
    COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/wine_install.sh ${PEGDROP_WIN_SETUP} ${PEGDROP_WIN_STAGE}
            ${PEGDROP_WIN_SHORT_VERSION})
  add_test(NAME wine_play
    COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/wine_play.sh ${CMAKE_BINARY_DIR} ${PEGDROP_WIN_ZIP})
  set_tests_properties(wine_install wine_play PROPERTIES
    FIXTURES_REQUIRED windows_package LABELS "windows-package;e2e" TIMEOUT 300 RUN_SERIAL TRUE)
endif()
