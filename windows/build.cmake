# What the Windows build adds beside the game (the top-level CMakeLists.txt
# includes this on Windows, where Linux's install.cmake does not apply).
#
# The game looks for the LED stand-in and, on a Windows without Arial (Wine
# has none), Liberation Sans in fonts\ beside pegdrop.exe. The build puts them
# there from Debian's fonts-dseg and fonts-liberation2, with their licences,
# and beside the unit tests' program too.
set(PEGDROP_DSEG_DIR /usr/share/fonts/truetype/dseg CACHE PATH "Folder of DSEG7Classic-*.ttf")
set(PEGDROP_LIBERATION_DIR /usr/share/fonts/truetype/liberation2 CACHE PATH
    "Folder of LiberationSans-*.ttf")
set(PEGDROP_FONT_FILES
  ${PEGDROP_DSEG_DIR}/DSEG7Classic-Regular.ttf
  ${PEGDROP_DSEG_DIR}/DSEG7Classic-Bold.ttf
  ${PEGDROP_LIBERATION_DIR}/LiberationSans-Regular.ttf
  ${PEGDROP_LIBERATION_DIR}/LiberationSans-Bold.ttf)
set(PEGDROP_FONT_LICENCES
  /usr/share/doc/fonts-dseg/copyright
  /usr/share/doc/fonts-liberation2/copyright)

# The unit tests install a face the game does not know, as a player might.
set(PEGDROP_TEST_FONT_FILES ${PEGDROP_FONT_FILES} ${PEGDROP_DSEG_DIR}/DSEG14Classic-Regular.ttf)

set(PEGDROP_FONT_STAMPS)
foreach(folder ${CMAKE_BINARY_DIR}/fonts ${CMAKE_BINARY_DIR}/tests/fonts)
  set(files ${PEGDROP_FONT_FILES})
  if(folder MATCHES "/tests/fonts$")
    set(files ${PEGDROP_TEST_FONT_FILES})
  endif()
  add_custom_command(
    OUTPUT ${folder}/.stamp
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${files} ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy /usr/share/doc/fonts-dseg/copyright ${folder}/DSEG-LICENCE.txt
    COMMAND ${CMAKE_COMMAND} -E copy /usr/share/doc/fonts-liberation2/copyright
            ${folder}/Liberation-LICENCE.txt
    COMMAND ${CMAKE_COMMAND} -E touch ${folder}/.stamp
    DEPENDS ${files} ${PEGDROP_FONT_LICENCES}
    COMMENT "Putting the shipped fonts in ${folder}")
  list(APPEND PEGDROP_FONT_STAMPS ${folder}/.stamp)
endforeach()
add_custom_target(shipped_fonts ALL DEPENDS ${PEGDROP_FONT_STAMPS})
