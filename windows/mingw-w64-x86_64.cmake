# Cross-compiles for 64-bit Windows with Debian's mingw-w64, the posix-threads
# flavour: its libstdc++ has std::thread and std::mutex, which the win32 one lacks.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=windows/mingw-w64-x86_64.cmake \
#         -DPEGDROP_WIN_DEPS=build-win/deps/prefix
#
# PEGDROP_WIN_DEPS is the prefix tools/build-deps.sh windows fills (SDL2, SDL2_ttf,
# FreeType, GoogleTest); it defaults to deps/prefix inside the build folder.
# Programs built here run under Wine through windows/wine-run.sh, so ctest and
# gtest_discover_tests can run them like native ones.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PEGDROP_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PEGDROP_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PEGDROP_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PEGDROP_MINGW_TRIPLE}-windres)

if(NOT PEGDROP_WIN_DEPS)
    set(PEGDROP_WIN_DEPS "${CMAKE_BINARY_DIR}/deps/prefix")
endif()
get_filename_component(PEGDROP_WIN_DEPS "${PEGDROP_WIN_DEPS}" ABSOLUTE)
# try_compile projects load this file again in a scratch folder; hand them the
# same prefix instead of one under the scratch folder.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PEGDROP_WIN_DEPS)

# Look for headers, libraries and packages only in the Windows trees, never in
# the host's /usr, whose SDL2 would otherwise be picked up happily.
set(CMAKE_FIND_ROOT_PATH /usr/${PEGDROP_MINGW_TRIPLE} "${PEGDROP_WIN_DEPS}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config, if a project asks it, reads only the Windows prefix as well.
set(ENV{PKG_CONFIG_LIBDIR} "${PEGDROP_WIN_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# The Wine prefix lives in the build folder beside the programs it runs, or in
# PEGDROP_WINE_DIR so that several build folders can share one.
if(NOT PEGDROP_WINE_DIR)
    set(PEGDROP_WINE_DIR "${CMAKE_BINARY_DIR}")
endif()
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;--dir;${PEGDROP_WINE_DIR}")
endif()
