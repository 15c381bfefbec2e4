glz_add_test(WindowHookTest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/WindowHookTest.cpp
  LIBS glzemb_app)
