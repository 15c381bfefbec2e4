# Hook overhead and attach latency of glzemb (a program, not a test): run build/wine-run bin/GlzembBenchmark.exe
add_library(BareHook SHARED ${CMAKE_CURRENT_LIST_DIR}/BareHook.cpp ${CMAKE_CURRENT_LIST_DIR}/BareHook.def)
set_target_properties(BareHook PROPERTIES PREFIX "")
target_link_libraries(BareHook PRIVATE user32)
add_executable(GlzembBenchmark ${CMAKE_CURRENT_LIST_DIR}/GlzembBenchmark.cpp)
target_link_libraries(GlzembBenchmark PRIVATE glz_test_helpers glz_core user32)
add_dependencies(GlzembBenchmark BareHook glzemb GlzTargetWindows GlzHookInstaller GlzRuleServer)
# glzemb.dll's image size and the private memory it adds to Wine's Notepad beside a bare hook's
# and beside that of hooks that run one short-lived thread.
foreach(hook ThreadHook GuardedThreadHook)
  add_library(${hook} SHARED ${CMAKE_CURRENT_LIST_DIR}/ThreadHook.cpp ${CMAKE_CURRENT_LIST_DIR}/ThreadHook.def)
  set_target_properties(${hook} PROPERTIES PREFIX "")
  target_link_libraries(${hook} PRIVATE user32)
endforeach()
target_compile_definitions(GuardedThreadHook PRIVATE GLZ_GUARDED_THREAD)
add_executable(FootprintBenchmark ${CMAKE_CURRENT_LIST_DIR}/FootprintBenchmark.cpp)
target_link_libraries(FootprintBenchmark PRIVATE glz_test_helpers glz_core user32)
add_dependencies(FootprintBenchmark BareHook ThreadHook GuardedThreadHook glzemb GlzHookInstaller GlzRuleServer)
