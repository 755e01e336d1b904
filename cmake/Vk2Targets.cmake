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

# Builds every executable that carries stress tests (the ThreadSanitizer run builds only these).
if(NOT TARGET vk2_stress_tests)
  add_custom_target(vk2_stress_tests)
endif()

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
  if("stress" IN_LIST T_LABELS)
    add_dependencies(vk2_stress_tests ${name})
  endif()
  math(EXPR last "${T_SHARDS} - 1")
  foreach(i RANGE ${last})
    add_test(NAME ${name}/${i} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name}/${i} PROPERTIES
      LABELS "${T_LABELS}"
      ENVIRONMENT "GTEST_TOTAL_SHARDS=${T_SHARDS};GTEST_SHARD_INDEX=${i};${T_ENV}"
      ${T_PROPERTIES})
  endforeach()
endfunction()
