# glzemb.dll: hook procedure, application object, rule-fetch worker, window extender.
# glzemb_app holds the library's units so that the tests link the same code.
add_library(glzemb_app STATIC
  ${CMAKE_CURRENT_LIST_DIR}/uHooks.cpp
)
target_include_directories(glzemb_app PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(glzemb_app PUBLIC glz_core user32)
