# The WebAssembly build (Emscripten): both programs as JavaScript modules
# with their .wasm, and the static site that runs them in a terminal page,
# put together in the build folder's site/.
#
# Link flags: ASYNCIFY lets the input layer await the page's keyboard on the
# page's own thread; EXIT_RUNTIME runs the exit handlers, which write out
# the last output; MODULARIZE makes each program a factory, createProgram,
# that the page calls anew for each run and the Node runner for a scenario;
# for queue_menu, which has files, the file system is exported: IDBFS keeps
# data.dat in the browser, NODEFS gives the Node runner the scenario's
# working folder.
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
                    -lidbfs.js -lnodefs.js)

# The page, its script and style, xterm.js from web/node_modules
# (scripts/install-web-deps.sh puts it there), and both programs.
set(web_dir ${PROJECT_SOURCE_DIR}/web)
set(xterm_files ${web_dir}/node_modules/@xterm/xterm/lib/xterm.js
                ${web_dir}/node_modules/@xterm/xterm/css/xterm.css
                ${web_dir}/node_modules/@xterm/addon-fit/lib/addon-fit.js)
foreach(file ${xterm_files})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: run scripts/install-web-deps.sh")
  endif()
endforeach()
set(site ${PROJECT_BINARY_DIR}/site)
set(site_sources ${web_dir}/index.html ${web_dir}/app.js ${web_dir}/style.css ${xterm_files})
add_custom_target(
  site ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site}
  COMMAND ${CMAKE_COMMAND} -E copy ${site_sources} ${site}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tree_menu> $<TARGET_FILE_DIR:tree_menu>/tree_menu.wasm
          $<TARGET_FILE:queue_menu> $<TARGET_FILE_DIR:queue_menu>/queue_menu.wasm ${site}
  DEPENDS tree_menu queue_menu ${site_sources}
  COMMENT "Putting the site together in ${site}"
  VERBATIM)
