# velmora_add_test(NAME SOURCES... [LIBS libs...] [WIN32_ONLY])
# One test executable, registered as one CTest test. Cross-built, it runs
# under Wine through CMAKE_CROSSCOMPILING_EMULATOR: one Wine start per binary.
function(velmora_add_test name)
  cmake_parse_arguments(T "WIN32_ONLY;GUI" "" "SOURCES;LIBS" ${ARGN})
  if(T_WIN32_ONLY AND NOT WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/test_main.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
