# Version resource and manifest of a deliverable:
#   glz_add_version_resource(<target> DESCRIPTION "<text>" FILE_NAME "<name.exe|name.dll>")
# A program gets the manifest with the common controls 6 dependency (resource 1); a library a
# plain one (resource 2, so that it never changes the activation context of its host).
include_guard(GLOBAL)

function(glz_add_version_resource target)
  # Set here: the include guard keeps variables of the file in the first folder's scope only.
  set(GLZ_VERSION_TEXT "1.0.0.0")
  set(GLZ_VERSION_COMMAS "1,0,0,0")
  cmake_parse_arguments(V "" "DESCRIPTION;FILE_NAME" "" ${ARGN})
  get_target_property(kind ${target} TYPE)
  set(GLZ_DESCRIPTION "${V_DESCRIPTION}")
  set(GLZ_FILE_NAME "${V_FILE_NAME}")
  if(kind STREQUAL "SHARED_LIBRARY")
    set(GLZ_FILE_TYPE VFT_DLL)
    set(GLZ_MANIFEST_ID 2)
    set(GLZ_MANIFEST "${CMAKE_SOURCE_DIR}/cmake/GlazloLibrary.manifest")
  else()
    set(GLZ_FILE_TYPE VFT_APP)
    set(GLZ_MANIFEST_ID 1)
    set(GLZ_MANIFEST "${CMAKE_SOURCE_DIR}/cmake/GlazloProgram.manifest")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/GlazloVersion.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${GLZ_MANIFEST}")
endfunction()
