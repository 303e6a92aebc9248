# The unit tests under Wine (tests/CMakeLists.txt includes this on Windows).
# Wine starts a process slowly, so the test program runs as a few ctest
# entries rather than one a test; with ctest -j2 they run two at a time.
add_test(NAME windows_platform COMMAND pegdrop_tests --gtest_filter=Windows*:-WindowsGermanPlayer.*)
add_test(NAME windows_game COMMAND pegdrop_tests --gtest_filter=-Windows*)
# Wine takes the player's region settings from LC_ALL: English (United States)
# for C.UTF-8, as the texts are tested, and German (Germany) for the
# separator's test. It also spells file names in LC_ALL's character set, so
# only a UTF-8 locale the host has keeps names outside ASCII.
add_test(NAME windows_locale COMMAND pegdrop_tests --gtest_filter=WindowsGermanPlayer.*)
set_tests_properties(windows_platform windows_game PROPERTIES
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;LC_ALL=C.UTF-8" LABELS windows TIMEOUT 600)
# A fresh Debian has no German locale built: it is built here from the
# locales package's sources, and Wine's own setlocale finds it through LOCPATH.
set(PEGDROP_WINE_LOCALES ${CMAKE_CURRENT_BINARY_DIR}/locales)
add_test(NAME windows_locale_built
  COMMAND sh -c "mkdir -p '${PEGDROP_WINE_LOCALES}' && { localedef -i de_DE -f UTF-8 '${PEGDROP_WINE_LOCALES}/de_DE.UTF-8' || test -f '${PEGDROP_WINE_LOCALES}/de_DE.UTF-8/LC_NUMERIC'; }")
set_tests_properties(windows_locale_built PROPERTIES FIXTURES_SETUP german_locale LABELS windows)
set_tests_properties(windows_locale PROPERTIES FIXTURES_REQUIRED german_locale
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;LC_ALL=de_DE.UTF-8;LOCPATH=${PEGDROP_WINE_LOCALES}"
  LABELS windows TIMEOUT 120)
# The region is kept in the one Wine prefix's registry, written by whichever
# process starts with its LC_ALL: two at once with different ones would see
# each other's separator.
set_tests_properties(windows_platform windows_game windows_locale PROPERTIES RESOURCE_LOCK wine_region)

# The game itself: a window program needing no DLL but Windows' own, that
# still answers --version and --help on the console it was started from.
add_test(NAME windows_exe
  COMMAND ${PROJECT_SOURCE_DIR}/windows/check-exe.sh $<TARGET_FILE:pegdrop> ${PROJECT_VERSION})
set_tests_properties(windows_exe PROPERTIES LABELS windows TIMEOUT 120)
