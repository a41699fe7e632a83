# SPDX-License-Identifier: GPL-3.0-or-later
# lintwick_add_test(NAME SOURCES file... LIBS lib...)
# One GoogleTest binary becomes one CTest test. Widget tests need no display:
# every test runs on Qt's offscreen platform.
function(lintwick_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    TIMEOUT 300)
endfunction()
