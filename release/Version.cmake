# The programs' version resource, made from the project version, the one
# place the version is set.
set(LORVANE_VERSION_RC_IN ${CMAKE_CURRENT_LIST_DIR}/VersionInfo.rc.in)

# Gives a Windows program its VERSIONINFO: file and product version, product
# name Lorvane, the description, and its file name. Nothing elsewhere.
function(lorvane_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(VERSION_NAME ${target})
  set(VERSION_FILE ${target}${CMAKE_EXECUTABLE_SUFFIX})
  set(VERSION_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${LORVANE_VERSION_RC_IN} ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
