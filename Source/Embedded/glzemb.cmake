# glzemb.dll: hook procedure, application object, rule-fetch worker, window extender.
# glzemb_app holds the library's units so that the tests link the same code.
add_library(glzemb_app STATIC
  ${CMAKE_CURRENT_LIST_DIR}/uHooks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uEAWindowExtender.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uEAHookProc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uEAStartup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uEmbededApplication.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uEAThread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uEARuleQuery.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uEACaptionWatch.cpp
)
target_include_directories(glzemb_app PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(glzemb_app PUBLIC glz_embedded glz_core user32)

add_library(glzemb SHARED
  ${CMAKE_CURRENT_LIST_DIR}/glzemb.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glzemb.def
  ${CMAKE_CURRENT_LIST_DIR}/OperationPictures.rc
)
file(GLOB glzemb_pictures ${CMAKE_CURRENT_LIST_DIR}/Images/*.bmp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/OperationPictures.rc PROPERTIES
  OBJECT_DEPENDS "${glzemb_pictures}")
set_target_properties(glzemb PROPERTIES PREFIX "" OUTPUT_NAME glzemb)
target_link_libraries(glzemb PRIVATE glzemb_app)
include(${CMAKE_SOURCE_DIR}/cmake/GlazloResources.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/GlazloShipping.cmake)
glz_in_host_code(glzemb_app)
glz_in_host_code(glzemb)
glz_ship(glzemb)
glz_add_version_resource(glzemb DESCRIPTION "Glazlo window extension library" FILE_NAME "glzemb.dll")
