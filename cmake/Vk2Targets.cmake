# Helpers that give every deliverable and test the same shape.

# Sources of a folder, found by pattern so that adding a file needs no CMake edit.
function(vk2_glob_sources out dir)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# A module: a shared object named <name>.so that exports only the three module entry points.
function(vk2_add_module name)
  cmake_parse_arguments(M "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${M_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".so")
  target_link_libraries(${name} PRIVATE vk2_component vk2_platform ${M_LIBS})
  target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
endfunction()

# Builds every executable that carries stress tests (the ThreadSanitizer run builds only these),
# and every one that carries long tests (the Release run builds only these and the benchmarks).
add_custom_target(vk2_stress_tests)
add_custom_target(vk2_long_tests)

# gtest prints this for a test that skipped itself; CTest then reports it as not run.
set(VK2_GTEST_SKIP_MARK "\\[  SKIPPED \\]")

# Test code (test executables and their support libraries) is compiled often and run briefly:
# no optimisation, and the test headers precompiled once (vk2_test_pch in tests/).
# Test code is never linked into a shared object, so it keeps the compiler's own position-
# independence setting (no -fPIC/-fPIE of CMake's): one precompiled header then serves test
# libraries and test executables alike.
function(vk2_test_code target)
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE OFF)
  target_compile_options(${target} PRIVATE -O0)
  target_precompile_headers(${target} REUSE_FROM vk2_test_pch)
  target_link_libraries(${target} PRIVATE vk2_test_support)
  if(VK2_CCACHE_PCH_LAUNCHER)
    set_target_properties(${target} PROPERTIES CXX_COMPILER_LAUNCHER "${VK2_CCACHE_PCH_LAUNCHER}")
  endif()
endfunction()

# A test executable run as one CTest test (for executables that are not split into shards).
function(vk2_add_test_command name)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "${VK2_GTEST_SKIP_MARK}" ${ARGN})
endfunction()

# A test executable compiles its sources in batches (unity build): its units share the test
# framework's templates, so a batch of eight compiles in about a third of the time of eight
# separate units. Names local to a test file (anonymous namespace, static) therefore need to
# differ from those of the other files of its executable, as test names already do; an executable
# whose files clash ("redefinition of ...{anonymous}::...") is listed in Vk2UnityOff.cmake and
# compiles its files one by one.
option(VK2_UNITY_TESTS "Compile each test executable's sources in batches" ON)
include(${CMAKE_CURRENT_LIST_DIR}/Vk2UnityOff.cmake)

# One test executable per source folder; every test carries the folder's label plus any extras.
# Environment variables go in ENV (not in PROPERTIES, which would replace the shard settings).
# CTest runs each executable as a few shards rather than one process per test case: starting a
# sanitized process costs far more than most cases, and shards still run in parallel.
function(vk2_add_tests name)
  cmake_parse_arguments(T "" "SHARDS" "SOURCES;LIBS;LABELS;ENV;PROPERTIES" ${ARGN})
  if(NOT T_SHARDS)
    set(T_SHARDS 4)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  vk2_test_code(${name})
  if(VK2_UNITY_TESTS AND NOT name IN_LIST VK2_UNITY_OFF)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON)
  endif()
  if("stress" IN_LIST T_LABELS)
    add_dependencies(vk2_stress_tests ${name})
  endif()
  if("long" IN_LIST T_LABELS)
    add_dependencies(vk2_long_tests ${name})
  endif()
  math(EXPR last "${T_SHARDS} - 1")
  foreach(i RANGE ${last})
    add_test(NAME ${name}/${i} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name}/${i} PROPERTIES
      LABELS "${T_LABELS}"
      ENVIRONMENT "GTEST_TOTAL_SHARDS=${T_SHARDS};GTEST_SHARD_INDEX=${i};${T_ENV}"
      SKIP_REGULAR_EXPRESSION "${VK2_GTEST_SKIP_MARK}"
      ${T_PROPERTIES})
  endforeach()
endfunction()
