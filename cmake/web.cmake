# The WebAssembly build (Emscripten): both programs as JavaScript modules
# with their .wasm, and the static site that runs them in a terminal page,
# put together in the build folder's site/ and zipped for teachers as
# adt_menus-<version>-web.zip.
#
# Link flags: ASYNCIFY lets the input layer await the page's keyboard on the
# page's own thread; EXIT_RUNTIME runs the exit handlers, which write out
# the last output; MODULARIZE makes each program a factory, createProgram,
# that the page calls anew for each run and the Node runner for a scenario;
# for queue_menu, which has files, the file system is exported: the page
# stores data.dat in IndexedDB itself after each save (web/app.js), NODEFS
# gives the Node runner the scenario's working folder.
set(ADT_WEB_LINK_FLAGS
    -sASYNCIFY
    -sEXIT_RUNTIME=1
    -sALLOW_MEMORY_GROWTH=1
    -sMODULARIZE=1
    -sEXPORT_NAME=createProgram
    -sENVIRONMENT=web,node)
foreach(program tree_menu queue_menu)
  target_link_options(${program} PRIVATE ${ADT_WEB_LINK_FLAGS})
endforeach()
target_link_options(queue_menu PRIVATE -sEXPORTED_RUNTIME_METHODS=FS,addRunDependency,removeRunDependency
                    -lnodefs.js)

# What the site bundles besides its own files: xterm.js and its fit addon
# from web/node_modules (scripts/install-web-deps.sh puts them there), and
# a free CJK font that Debian packages (Droid Sans Fallback, Apache-2.0),
# from which the page's own font is cut. Each goes into the site with its
# licence.
set(web_dir ${PROJECT_SOURCE_DIR}/web)
set(xterm_dir ${web_dir}/node_modules/@xterm)
set(xterm_files ${xterm_dir}/xterm/lib/xterm.js ${xterm_dir}/xterm/css/xterm.css
                ${xterm_dir}/addon-fit/lib/addon-fit.js)
set(ADT_WEB_FONT /usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf
    CACHE FILEPATH "The free CJK font the page's font is cut from")
set(ADT_WEB_FONT_COPYRIGHT /usr/share/doc/fonts-droid-fallback/copyright
    CACHE FILEPATH "The copyright file of that font")
set(ADT_WEB_FONT_LICENSE /usr/share/common-licenses/Apache-2.0 CACHE FILEPATH "The licence text of that font")
foreach(file ${xterm_files} ${xterm_dir}/xterm/LICENSE ${xterm_dir}/addon-fit/LICENSE ${ADT_WEB_FONT}
             ${ADT_WEB_FONT_COPYRIGHT} ${ADT_WEB_FONT_LICENSE})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: run scripts/install-web-deps.sh")
  endif()
endforeach()
find_program(ADT_PYFTSUBSET pyftsubset)
if(NOT ADT_PYFTSUBSET)
  message(FATAL_ERROR "pyftsubset is missing: run scripts/install-web-deps.sh")
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(site ${PROJECT_BINARY_DIR}/site)
set(font ${PROJECT_BINARY_DIR}/font/adt-cjk.woff2)

# The page's font: every character beyond ASCII that the programs and the
# page can print, cut from the free font as WOFF2.
file(GLOB font_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tree/*.cpp ${PROJECT_SOURCE_DIR}/queue/*.cpp
     ${PROJECT_SOURCE_DIR}/platform/*.cpp ${web_dir}/*.html ${web_dir}/*.js ${web_dir}/*.css)
add_custom_command(
  OUTPUT ${font}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/font
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/cut-web-font.py ${ADT_WEB_FONT} ${font}
          ${font_sources}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/cut-web-font.py ${font_sources} ${ADT_WEB_FONT}
  COMMENT "Cutting the page's CJK font"
  VERBATIM)

# The site: the page, its script, words and style, xterm.js, both
# programs, the font, the project's LICENSE, a README.txt for teachers, and
# the licences of what it bundles in licenses/. Made anew each time, so
# that it holds nothing else.
file(GLOB page_files CONFIGURE_DEPENDS ${web_dir}/*.html ${web_dir}/*.js ${web_dir}/*.css)
set(site_sources ${page_files} ${xterm_files} ${web_dir}/README.txt ${PROJECT_SOURCE_DIR}/LICENSE ${font})
add_custom_target(
  site ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${site}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/licenses
  COMMAND ${CMAKE_COMMAND} -E copy ${site_sources} ${site}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tree_menu> $<TARGET_FILE_DIR:tree_menu>/tree_menu.wasm
          $<TARGET_FILE:queue_menu> $<TARGET_FILE_DIR:queue_menu>/queue_menu.wasm ${site}
  COMMAND ${CMAKE_COMMAND} -E copy ${xterm_dir}/xterm/LICENSE ${site}/licenses/xterm.js.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${xterm_dir}/addon-fit/LICENSE ${site}/licenses/addon-fit.js.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${ADT_WEB_FONT_COPYRIGHT} ${site}/licenses/adt-cjk.woff2-copyright.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${ADT_WEB_FONT_LICENSE} ${site}/licenses/Apache-2.0.txt
  DEPENDS tree_menu queue_menu ${site_sources}
  COMMENT "Putting the site together in ${site}"
  VERBATIM)

# The site as one zip for teachers, its files in one folder named as the
# zip is, with fixed times so that the same site gives the same zip.
set(package_name ${PROJECT_NAME}-${PROJECT_VERSION}-web)
set(ADT_WEB_ZIP ${PROJECT_BINARY_DIR}/${package_name}.zip)
set(stage ${PROJECT_BINARY_DIR}/web-package)
add_custom_target(
  web_package ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${site} ${stage}/${package_name}
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar cf ${ADT_WEB_ZIP} --format=zip
          "--mtime=2000-01-01 00:00:00 UTC" ${package_name}
  DEPENDS site
  BYPRODUCTS ${ADT_WEB_ZIP}
  COMMENT "Zipping the site as ${ADT_WEB_ZIP}"
  VERBATIM)

# The tests of the site (label web, run by the web workflow): every
# dialogue scenario under Node, the page in headless Chromium, served from
# a sub-path of the unpacked zip, and data.dat in two tabs (the browser
# tests skipped, saying so, where Chromium or the browser test's Node
# packages are missing).
enable_testing()
find_program(ADT_NODE node)
if(NOT ADT_NODE)
  message(FATAL_ERROR "node is missing: run scripts/install-web-deps.sh")
endif()
add_test(NAME web.scenarios COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/web/run_scenarios.py ${site})
add_test(NAME web.browser COMMAND ${ADT_NODE} ${PROJECT_SOURCE_DIR}/tests/web/browser_test.js ${ADT_WEB_ZIP})
add_test(NAME web.tabs COMMAND ${ADT_NODE} ${PROJECT_SOURCE_DIR}/tests/web/tabs_test.js ${site})
set_tests_properties(web.scenarios web.browser web.tabs PROPERTIES LABELS web SKIP_RETURN_CODE 77 TIMEOUT 900)
# Alone, so that the time it measures to the first prompt is a quiet
# machine's.
set_tests_properties(web.browser PROPERTIES RUN_SERIAL TRUE)
