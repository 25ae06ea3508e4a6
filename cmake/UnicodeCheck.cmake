# A default Visual Studio project defines UNICODE, which turns every
# TCHAR-dependent name of the system headers wide. lorvane_unicode_check(T)
# compiles the C++ sources of target T once more with UNICODE defined, never
# linked, so that such a name in them breaks the build here. Only targets
# whose sources see the system headers call it (the portable code compiles
# to the same either way), and only a build with the tests does it: the
# release build compiles the same sources.
function(lorvane_unicode_check target)
  if(NOT LORVANE_TESTS)
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  get_target_property(libraries ${target} LINK_LIBRARIES)
  get_target_property(definitions ${target} COMPILE_DEFINITIONS)
  add_library(${target}_unicode OBJECT EXCLUDE_FROM_ALL ${sources})
  target_include_directories(${target}_unicode PRIVATE
    $<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>)
  if(libraries)
    target_link_libraries(${target}_unicode PRIVATE ${libraries})
  endif()
  if(definitions)
    target_compile_definitions(${target}_unicode PRIVATE ${definitions})
  endif()
  target_compile_definitions(${target}_unicode PRIVATE UNICODE _UNICODE)
  add_dependencies(${target} ${target}_unicode)
endfunction()
