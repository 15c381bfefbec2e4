# Helper processes for glzemb's tests: a host with top-level windows, and a hook installer.
add_executable(GlzTargetWindows WIN32 ${CMAKE_CURRENT_LIST_DIR}/GlzTargetWindows.cpp)
target_link_libraries(GlzTargetWindows PRIVATE glz_core user32)
add_executable(GlzHookInstaller WIN32 ${CMAKE_CURRENT_LIST_DIR}/GlzHookInstaller.cpp)
target_link_libraries(GlzHookInstaller PRIVATE glz_core user32)
add_executable(GlzRuleServer WIN32 ${CMAKE_CURRENT_LIST_DIR}/GlzRuleServer.cpp)
target_link_libraries(GlzRuleServer PRIVATE glz_test_helpers glz_core)
