# The unit tests under Wine (tests/CMakeLists.txt includes this on Windows).
# Wine starts a process slowly, so the test program runs as a few ctest
# entries rather than one a test; with ctest -j2 they run two at a time.
add_test(NAME windows_platform COMMAND pegdrop_tests --gtest_filter=Windows*)
add_test(NAME windows_game COMMAND pegdrop_tests --gtest_filter=-Windows*)
set_tests_properties(windows_platform windows_game PROPERTIES
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy" LABELS windows TIMEOUT 600)

# The game itself: a window program needing no DLL but Windows' own, that
# still answers --version and --help on the console it was started from.
add_test(NAME windows_exe
  COMMAND ${PROJECT_SOURCE_DIR}/windows/check-exe.sh $<TARGET_FILE:pegdrop>
          ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set_tests_properties(windows_exe PROPERTIES LABELS windows TIMEOUT 120)
