# zeb_add_test(NAME SOURCES src... LIBS lib... [TIMEOUT s] [SERIAL] [RU_LOCALE [filter]])
# One CTest entry per GoogleTest program; on Windows it runs under Wine through the emulator.
# A crash or hang fails within the timeout. SERIAL marks tests that show windows or share fixed names.
# A run passes only when GoogleTest printed its closing "[  PASSED  ]" line and no failure: a program
# that crashes under 64-bit Wine can exit with code 0, so the exit code alone would let a crash pass.
# RU_LOCALE adds NAME_ru: the program again in the Russian locale (Wine takes the ANSI code page, 1251,
# from LANG), with the same timeout and SERIAL; a GoogleTest filter limits it to the matching cases.
set(ZEB_TEST_PASSED "\\[  PASSED  \\] [0-9]+ tests?\\.")
set(ZEB_TEST_FAILED "\\[  FAILED  \\];Unhandled exception;Unhandled page fault")

function(zeb_add_test name)
  cmake_parse_arguments(T "SERIAL" "TIMEOUT;RU_LOCALE" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # Each test program runs from a folder of its own: tests that write a settings file beside the
  # executable never meet another program's.
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(WIN32)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
                       PASS_REGULAR_EXPRESSION "${ZEB_TEST_PASSED}" FAIL_REGULAR_EXPRESSION "${ZEB_TEST_FAILED}")
  if(T_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
  if(DEFINED T_RU_LOCALE OR "RU_LOCALE" IN_LIST T_KEYWORDS_MISSING_VALUES)
    set(filter)
    if(T_RU_LOCALE)
      set(filter --gtest_filter=${T_RU_LOCALE})
    endif()
    add_test(NAME ${name}_ru COMMAND ${name} --gtest_color=no ${filter}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name})
    set_tests_properties(${name}_ru PROPERTIES TIMEOUT ${T_TIMEOUT}
                         ENVIRONMENT "LC_ALL=ru_RU.UTF-8;LANG=ru_RU.UTF-8"
                         PASS_REGULAR_EXPRESSION "${ZEB_TEST_PASSED}" FAIL_REGULAR_EXPRESSION "${ZEB_TEST_FAILED}")
    if(T_SERIAL)
      set_tests_properties(${name}_ru PROPERTIES RUN_SERIAL TRUE)
    endif()
  endif()
endfunction()

# zeb_shipped_tests(test...): the tests that start the real programs and scene libraries. Where the
# kernel runs no 32-bit code, scripts/test runs these again against the shipped 32-bit files under
# emulation (label "shipped"); the 64-bit twin runs every test. Call it in the folder that made them.
function(zeb_shipped_tests)
  set_tests_properties(${ARGN} PROPERTIES LABELS shipped)
endfunction()
