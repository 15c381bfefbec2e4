glz_add_test(WindowHookTest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/WindowHookTest.cpp
  LIBS glzemb_app)
glz_add_test(HookProcessTest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HookProcessTest.cpp
  LIBS glzemb_app glz_test_helpers)
add_dependencies(HookProcessTest glzemb GlzTargetWindows GlzHookInstaller GlzRuleServer)
glz_add_test(EmbededApplicationTest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/EmbededApplicationTest.cpp
  LIBS glzemb_app)
