# SPDX-License-Identifier: GPL-3.0-or-later
# Warnings are errors on the project's own code only; third-party headers come in as SYSTEM.
add_library(kb_warnings INTERFACE)
target_compile_options(kb_warnings INTERFACE -Wall -Wextra -Werror)

if(KB_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()

# kb_add_gtest(<name> SOURCES <files...> [LIBS <targets...>] [ENV <VAR=value...>] [LABELS <labels...>])
# One executable per unit under test, run by CTest as a single test.
function(kb_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock kb_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(ARG_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENV}")
  endif()
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
