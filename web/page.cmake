# What the browser build makes (the top-level CMakeLists.txt includes this for
# emscripten, after the game's target):
# - pegdrop.js, pegdrop.wasm and pegdrop.data: the game, and its data at
#   /fonts (Liberation Sans, DSEG7); the game makes its cues in the page;
# - the target web-package: pegdrop-VERSION-web.zip, a folder of static files
#   (index.html, the three above, the web app manifest with our icons, the
#   service worker, and the late fallback face).
#
# The cues and icons are made by our tools built for this machine
# (tools/host.cmake).

set(PEGDROP_WEB_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(PEGDROP_WEB_DATA ${CMAKE_BINARY_DIR}/page-data)
set(PEGDROP_FONT_FILES
  /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
  /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
  /usr/share/fonts/truetype/dseg/DSEG7Classic-Regular.ttf
  /usr/share/fonts/truetype/dseg/DSEG7Classic-Bold.ttf)
set(PEGDROP_LATE_FONT /usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf)

add_custom_command(
  OUTPUT ${PEGDROP_WEB_DATA}/.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PEGDROP_WEB_DATA}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PEGDROP_WEB_DATA}/fonts
  COMMAND ${CMAKE_COMMAND} -E copy ${PEGDROP_FONT_FILES} ${PEGDROP_WEB_DATA}/fonts
  COMMAND ${CMAKE_COMMAND} -E touch ${PEGDROP_WEB_DATA}/.stamp
  DEPENDS host_tools ${PEGDROP_FONT_FILES}
  COMMENT "Gathering the fonts for the page")
add_custom_target(page_data DEPENDS ${PEGDROP_WEB_DATA}/.stamp)
add_dependencies(pegdrop page_data)

set(PEGDROP_WEB_PRE_JS ${PROJECT_SOURCE_DIR}/src/platform/data_folder_web.js)
set(PEGDROP_WEB_SETTINGS_JS ${CMAKE_CURRENT_LIST_DIR}/page_settings.js)
set(PEGDROP_WEB_SOUND_JS ${PROJECT_SOURCE_DIR}/src/platform/sound_start_web.js)
target_link_options(pegdrop PRIVATE
  # The game's nested loops (a fall, a modal window) wait inside a handler;
  # Asyncify lets each wait hand the page back to the browser.
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  # Only SDL_Delay's sleep waits; the font libraries never reach it.
  "-sASYNCIFY_IMPORTS=['emscripten_sleep']"
  "-sASYNCIFY_REMOVE=@${CMAKE_CURRENT_LIST_DIR}/never-waits.txt"
  -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web
  -lidbfs.js "SHELL:--pre-js ${PEGDROP_WEB_PRE_JS}" "SHELL:--pre-js ${PEGDROP_WEB_SETTINGS_JS}"
  "SHELL:--pre-js ${PEGDROP_WEB_SOUND_JS}"
  # For the page's tests, which read the data folder and set the variables
  # the game reads, as the Linux tests do with files and the environment.
  "-sEXPORTED_RUNTIME_METHODS=['FS','ENV']"
  # Debian's emcc hands htmlmin a list it cannot take.
  -sMINIFY_HTML=0
  # SDL's audio and its callbacks call these by name; the data folder sets
  # ENV. A file, since their names begin with a $ that no shell keeps.
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_CURRENT_LIST_DIR}/library-functions.txt
  "SHELL:--preload-file ${PEGDROP_WEB_DATA}/fonts@/fonts")
set_property(TARGET pegdrop APPEND PROPERTY LINK_DEPENDS ${PEGDROP_WEB_PRE_JS} ${PEGDROP_WEB_SETTINGS_JS}
                                              ${PEGDROP_WEB_SOUND_JS}
                                                         ${CMAKE_CURRENT_LIST_DIR}/library-functions.txt
                                                         ${CMAKE_CURRENT_LIST_DIR}/never-waits.txt
                                                         ${PEGDROP_WEB_DATA}/.stamp)

# ---- The folder a player gets, and its zip
set(PEGDROP_WEB_NAME pegdrop-${PEGDROP_WEB_VERSION}-web)
set(PEGDROP_WEB_STAGE ${CMAKE_BINARY_DIR}/web-package/${PEGDROP_WEB_NAME})
set(PEGDROP_WEB_ZIP ${CMAKE_BINARY_DIR}/${PEGDROP_WEB_NAME}.zip)
# 32 for the tab; 192 and 512, "any" purpose, for a browser to install the app.
set(PEGDROP_WEB_ICON_SIZES 32 192 512)
set(icons)
set(cached "\"./\", \"index.html\", \"pegdrop.js\", \"pegdrop.wasm\", \"pegdrop.data\", \"manifest.webmanifest\"")
foreach(size ${PEGDROP_WEB_ICON_SIZES})
  if(icons)
    string(APPEND icons ", ")
  endif()
  string(APPEND icons "{\"src\": \"icons/pegdrop-${size}.png\", \"sizes\": \"${size}x${size}\", \"type\": \"image/png\", \"purpose\": \"any\"}")
  string(APPEND cached ", \"icons/pegdrop-${size}.png\"")
endforeach()
set(PEGDROP_WEB_ICONS "${icons}")
set(PEGDROP_WEB_CACHED "${cached}")
set(PEGDROP_WEB_OUT ${CMAKE_BINARY_DIR}/web)
configure_file(${CMAKE_CURRENT_LIST_DIR}/index.html.in ${PEGDROP_WEB_OUT}/index.html @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/sw.js.in ${PEGDROP_WEB_OUT}/sw.js @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/manifest.webmanifest.in
               ${PEGDROP_WEB_OUT}/manifest.webmanifest @ONLY)

set(icon_copies)
foreach(size ${PEGDROP_WEB_ICON_SIZES})
  list(APPEND icon_copies COMMAND ${CMAKE_COMMAND} -E copy
       ${PEGDROP_WEB_OUT}/icons/${size}x${size}/apps/pegdrop.png
       ${PEGDROP_WEB_STAGE}/icons/pegdrop-${size}.png)
endforeach()
add_custom_command(
  OUTPUT ${PEGDROP_WEB_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/web-package ${PEGDROP_WEB_OUT}/icons
  COMMAND ${PEGDROP_HOST_TOOLS}/tools/pegdrop-icons ${PEGDROP_WEB_OUT}/icons pegdrop ${PEGDROP_WEB_ICON_SIZES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PEGDROP_WEB_STAGE}/icons ${PEGDROP_WEB_STAGE}/fonts
  COMMAND ${CMAKE_COMMAND} -E copy ${PEGDROP_WEB_OUT}/index.html ${PEGDROP_WEB_OUT}/sw.js
          ${PEGDROP_WEB_OUT}/manifest.webmanifest ${CMAKE_BINARY_DIR}/pegdrop.js
          ${CMAKE_BINARY_DIR}/pegdrop.wasm ${CMAKE_BINARY_DIR}/pegdrop.data ${PEGDROP_WEB_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy ${PEGDROP_LATE_FONT} ${PEGDROP_WEB_STAGE}/fonts
  ${icon_copies}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/web-package
          ${CMAKE_COMMAND} -E tar cf ${PEGDROP_WEB_ZIP} --format=zip ${PEGDROP_WEB_NAME}
  DEPENDS pegdrop host_tools ${PEGDROP_WEB_OUT}/index.html ${PEGDROP_WEB_OUT}/sw.js
          ${PEGDROP_WEB_OUT}/manifest.webmanifest ${PEGDROP_LATE_FONT}
  COMMENT "Making ${PEGDROP_WEB_NAME}.zip")
add_custom_target(web-package DEPENDS ${PEGDROP_WEB_ZIP})

# The game's own code is small next to what it drives; built for size it
# keeps the first download under its goal. The cues' synthesis (art), run
# once a page at its first picture, and the libraries stay built for speed.
foreach(library pegdrop_text pegdrop_rules pegdrop_platform pegdrop_ui pegdrop_game)
  target_compile_options(${library} PRIVATE -Os)
endforeach()
