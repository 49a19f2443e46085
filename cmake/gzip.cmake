# adt_gzip(TARGET OUTPUT INPUT): builds OUTPUT, INPUT compressed by gzip -9n
# (best compression, no file name or time stamp inside, so that the same
# input always gives the same bytes), as part of the default build under
# the name TARGET. Needs GZIP, the gzip program (find_program).
function(adt_gzip target output input)
  get_filename_component(name ${output} NAME_WLE)
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${CMAKE_COMMAND} -E copy ${input} ${dir}/${name}
                     COMMAND ${GZIP} -9nf ${dir}/${name}
                     DEPENDS ${input}
                     COMMENT "Compressing ${name}"
                     VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
