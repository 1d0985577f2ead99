# SPDX-License-Identifier: GPL-3.0-or-later
# Warnings are errors on the project's own code only; third-party headers come in as SYSTEM.
add_library(kb_warnings INTERFACE)
target_compile_options(kb_warnings INTERFACE -Wall -Wextra -Werror)

if(KB_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()

# kb_add_gtest(<name> SOURCES <files...> [LIBS <targets...>] [ENV <VAR=value...>] [LABELS <labels...>]
#              [UNPRIVILEGED])
# One executable per unit under test, run by CTest as a single test. UNPRIVILEGED: run as an
# ordinary user when CTest runs as root (tests of writes that permissions refuse).
function(kb_add_gtest name)
  cmake_parse_arguments(ARG "UNPRIVILEGED" "" "SOURCES;LIBS;ENV;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock kb_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  # Every build checks the program's code as that build compiles it; the tests' own code
  # compiles two to three times as fast unoptimised and runs little. (Unoptimised code cannot
  # take the fortified functions that a packager's flags ask for; the tests are never shipped.)
  target_compile_options(${name} PRIVATE -O0 -U_FORTIFY_SOURCE)
  if(ARG_UNPRIVILEGED)
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/scripts/as_unprivileged.sh $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(ARG_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENV}")
  endif()
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
