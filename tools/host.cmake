# The build tools a cross build runs, built for this machine from the same
# sources in host-tools/ of the build folder: pegdrop-built-pictures (every
# picture's pixels, as source for the game), pegdrop-ico (the Windows icon),
# and for the browser's page pegdrop-sounds (the cues) and pegdrop-icons.
include(ExternalProject)
find_program(PEGDROP_HOST_CXX NAMES c++ g++ REQUIRED)
set(PEGDROP_HOST_TOOLS ${CMAKE_BINARY_DIR}/host-tools)
set(PEGDROP_HOST_TOOL_TARGETS pegdrop-built-pictures)
if(WIN32)
  list(APPEND PEGDROP_HOST_TOOL_TARGETS pegdrop-ico)
elseif(EMSCRIPTEN)
  list(APPEND PEGDROP_HOST_TOOL_TARGETS pegdrop-sounds pegdrop-icons)
endif()
set(PEGDROP_HOST_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=${PEGDROP_HOST_CXX}
    -DPEGDROP_TESTS=OFF -DPEGDROP_BENCH=OFF)
if(CMAKE_CXX_COMPILER_LAUNCHER)
  list(APPEND PEGDROP_HOST_ARGS -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
set(PEGDROP_HOST_BYPRODUCTS)
foreach(tool ${PEGDROP_HOST_TOOL_TARGETS})
  list(APPEND PEGDROP_HOST_BYPRODUCTS ${PEGDROP_HOST_TOOLS}/tools/${tool})
endforeach()
ExternalProject_Add(host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${PEGDROP_HOST_TOOLS}
  CMAKE_ARGS ${PEGDROP_HOST_ARGS}
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${PEGDROP_HOST_TOOL_TARGETS}
  INSTALL_COMMAND ""
  # Every build asks it, so a change to the drawing reaches what it made.
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${PEGDROP_HOST_BYPRODUCTS})
