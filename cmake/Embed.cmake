# lorvane_embed(VAR DIR NAME:file ...): for each file of DIR, a C++ source
# made at build time by cmake/EmbedFile.cmake that defines NAME[] (its
# bytes) and NAMEHash[]; VAR receives the sources to compile.
function(lorvane_embed var dir)
  set(sources)
  foreach(asset ${ARGN})
    string(REPLACE ":" ";" asset ${asset})
    list(GET asset 0 name)
    list(GET asset 1 file)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${file}.cpp)
    file(RELATIVE_PATH shown ${CMAKE_SOURCE_DIR} ${dir}/${file})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${dir}/${file} -DOUTPUT=${out} -DNAME=${name}
        -P ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
      DEPENDS ${dir}/${file} ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
        ${CMAKE_SOURCE_DIR}/cmake/CspHash.cmake
      COMMENT "Embedding ${shown}")
    list(APPEND sources ${out})
  endforeach()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()
