# One ctest test per test program: every Wine start costs time.
# The "wine" fixture creates the prefix once and keeps one wineserver alive for the run.
add_test(NAME wine_prefix_setup
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh setup ${GLZ_WINEPREFIX})
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)
add_test(NAME wine_prefix_cleanup
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh cleanup ${GLZ_WINEPREFIX})
set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine)

function(glz_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/Tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 180)
endfunction()
