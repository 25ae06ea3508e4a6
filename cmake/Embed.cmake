# lorvane_embed(VAR DIR NAME:file ... [SCRIPTS LIST file ...]): for each
# file of DIR, a C++ source made at build time by cmake/EmbedFile.cmake
# that defines NAME[] (its bytes) and NAMEHash[]; VAR receives the sources
# to compile. The header VAR.h, in the folder's build folder (which the
# target that includes it puts on its include path), declares them all. The
# files after SCRIPTS, the one list of a page's scripts in the order it
# runs them, are named by their file's name (plan.js: PlanScript) and
# listed in the header as LIST[], each {text, hash}.
function(lorvane_embed var dir)
  set(sources)
  set(declarations)
  set(scripts)
  set(list_name)
  set(in_scripts FALSE)
  foreach(asset ${ARGN})
    if(asset STREQUAL "SCRIPTS")
      set(in_scripts TRUE)
      continue()
    endif()
    if(in_scripts AND NOT list_name)
      set(list_name ${asset})
      continue()
    endif()
    if(in_scripts)
      set(file ${asset})
      get_filename_component(stem ${file} NAME_WE)
      string(SUBSTRING ${stem} 0 1 first)
      string(TOUPPER ${first} first)
      string(SUBSTRING ${stem} 1 -1 rest)
      set(name ${first}${rest}Script)
      string(APPEND scripts "    {${name}, ${name}Hash},\n")
    else()
      string(REPLACE ":" ";" asset ${asset})
      list(GET asset 0 name)
      list(GET asset 1 file)
    endif()
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${file}.cpp)
    file(RELATIVE_PATH shown ${CMAKE_SOURCE_DIR} ${dir}/${file})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${dir}/${file} -DOUTPUT=${out} -DNAME=${name}
        -P ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
      DEPENDS ${dir}/${file} ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
        ${CMAKE_SOURCE_DIR}/cmake/CspHash.cmake
      COMMENT "Embedding ${shown}")
    list(APPEND sources ${out})
    string(APPEND declarations "extern const char ${name}[];\nextern const char ${name}Hash[];\n")
  endforeach()
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(header "// The files ${folder}/CMakeLists.txt embeds (cmake/Embed.cmake): their bytes, ending in a zero, and hashes.\n#pragma once\n\n${declarations}")
  if(list_name)
    string(APPEND header "\n// A page's script: its text and its hash ('sha256-BASE64').\n"
      "struct EmbeddedScript {\n  const char* text;\n  const char* hash;\n};\n\n"
      "// The scripts, in the order the page runs them.\n"
      "inline const EmbeddedScript ${list_name}[] = {\n${scripts}};\n")
  endif()
  file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${var}.h CONTENT "${header}")
  set(${var} ${sources} PARENT_SCOPE)
endfunction()

