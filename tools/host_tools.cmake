# Build tools of this machine for a cross build (Windows, the browser), whose
# own programs cannot run here: host-tools/ in the build folder builds the
# named tools from these sources natively, with the Linux libraries.
#
#   pegdrop_host_tools(pegdrop-ico ...)
#
# Each tool's path is then PEGDROP_HOST_TOOLS/tools/NAME; the target
# host_tools builds them.
include(ExternalProject)
set(PEGDROP_HOST_TOOLS ${CMAKE_BINARY_DIR}/host-tools)

function(pegdrop_host_tools)
  find_program(PEGDROP_HOST_CXX NAMES c++ g++ REQUIRED)
  set(args -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=${PEGDROP_HOST_CXX}
      -DPEGDROP_TESTS=OFF -DPEGDROP_BENCH=OFF)
  if(CMAKE_CXX_COMPILER_LAUNCHER)
    list(APPEND args -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
  endif()
  set(byproducts)
  foreach(tool ${ARGN})
    list(APPEND byproducts ${PEGDROP_HOST_TOOLS}/tools/${tool})
  endforeach()
  ExternalProject_Add(host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${PEGDROP_HOST_TOOLS}
    CMAKE_ARGS ${args}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${ARGN}
    INSTALL_COMMAND ""
    # Every build asks it, so a change to the drawing reaches what it makes.
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${byproducts})
endfunction()
