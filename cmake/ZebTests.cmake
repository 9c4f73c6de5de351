# zeb_add_test(NAME src... LIBS lib... [TIMEOUT s] [SERIAL])
# One CTest entry per GoogleTest program; on Windows it runs under Wine through the emulator.
# A crash or hang fails within the timeout. SERIAL marks tests that show windows or share fixed names.
function(zeb_add_test name)
  cmake_parse_arguments(T "SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()
