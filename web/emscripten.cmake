# Builds for the browser with Debian 12's emscripten: its own toolchain file,
# with the libraries tools/build-deps.sh web puts in the build folder.
#
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=web/emscripten.cmake
#
# PEGDROP_WEB_DEPS is the prefix of SDL2, FreeType and SDL2_ttf; it defaults
# to deps/prefix inside the build folder.

include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

if(NOT PEGDROP_WEB_DEPS)
    set(PEGDROP_WEB_DEPS "${CMAKE_BINARY_DIR}/deps/prefix")
endif()
get_filename_component(PEGDROP_WEB_DEPS "${PEGDROP_WEB_DEPS}" ABSOLUTE)
# Emscripten looks only in its own sysroot unless told; try_compile projects
# load this file again in a scratch folder and are handed the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PEGDROP_WEB_DEPS)
list(APPEND CMAKE_FIND_ROOT_PATH "${PEGDROP_WEB_DEPS}")
list(APPEND CMAKE_PREFIX_PATH "${PEGDROP_WEB_DEPS}")

# Debian's emcc runs its JavaScript optimiser under node, which finds the
# modules it needs (acorn) only in Debian's node folder.
set(ENV{NODE_PATH} /usr/share/nodejs)
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
