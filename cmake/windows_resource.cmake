# Gives a Windows program the project's icon and a version resource (the
# version, description and file name Explorer shows in its properties).
function(arrasto_windows_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(ARRASTO_RC_NAME ${target})
  set(ARRASTO_RC_DESCRIPTION "${description}")
  set(ARRASTO_RC_ICON ${PROJECT_SOURCE_DIR}/packaging/arrasto.ico)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  # windres reads the icon when it compiles the resource.
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}.rc PROPERTIES
    OBJECT_DEPENDS ${ARRASTO_RC_ICON})
endfunction()
