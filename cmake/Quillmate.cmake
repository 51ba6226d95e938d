# Shared build rules for both trees: warnings, sanitizers, GoogleTest, test naming.
include(GoogleTest)

set(QUI_TOP ${CMAKE_SOURCE_DIR})
if(WIN32)
  set(QUI_WINDOWS ON)
  add_compile_definitions(WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0500)
  add_compile_options(-Wall -Wno-unknown-pragmas)
else()
  set(QUI_WINDOWS OFF)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

set(gtest_disable_pthreads ${QUI_WINDOWS} CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# qui_add_test(<target> PREFIX <folder> LABEL <unit|window|display|integration>
#              SOURCES ... [LIBS ...] [WORKDIR dir])
# Each GoogleTest case becomes a ctest test named "<folder>.<Suite>.<Case>".
function(qui_add_test target)
  cmake_parse_arguments(T "" "PREFIX;LABEL;WORKDIR" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  if(NOT T_WORKDIR)
    set(T_WORKDIR ${CMAKE_BINARY_DIR}/bin)
  endif()
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  set(launcher)
  if(T_LABEL STREQUAL "display")
    set(launcher ${QUI_TOP}/scripts/with-display)
  endif()
  gtest_discover_tests(${target}
    TEST_PREFIX "${T_PREFIX}."
    WORKING_DIRECTORY ${T_WORKDIR}
    PROPERTIES LABELS ${T_LABEL} TIMEOUT 120
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120)
endfunction()

# qui_add_fuzzer(<name> PREFIX <folder> SOURCES ... [LIBS ...] [INCLUDES ...] [SEEDS dir])
# A fuzz target (LLVMFuzzerTestOneInput), host tree only. It is built twice:
# with the host compiler and fuzz/FuzzDriver.cpp (random and mutated inputs
# for a fixed time), and, where clang is installed, as a libFuzzer binary
# "<name>_libfuzzer" from the same sources and the sources of LIBS. The
# ctest test "<folder>.fuzz.<name>" (label fuzz-smoke) runs the libFuzzer
# binary when there is one, else the driver, for QUI_FUZZ_SECONDS.
set(QUI_FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzz-smoke test runs")
find_program(QUI_CLANGXX NAMES clang++ clang++-14)
function(qui_add_fuzzer name)
  cmake_parse_arguments(F "" "PREFIX;SEEDS" "SOURCES;LIBS;INCLUDES" ${ARGN})
  add_executable(${name} ${F_SOURCES} ${QUI_TOP}/fuzz/FuzzDriver.cpp)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_include_directories(${name} PRIVATE ${F_INCLUDES})
  set(runner $<TARGET_FILE:${name}>)

  if(QUI_CLANGXX)
    set(all_sources)
    set(all_includes ${F_INCLUDES})
    foreach(src IN LISTS F_SOURCES)
      get_filename_component(abs ${src} ABSOLUTE)
      list(APPEND all_sources ${abs})
    endforeach()
    foreach(lib IN LISTS F_LIBS)
      get_target_property(lib_dir ${lib} SOURCE_DIR)
      get_target_property(lib_sources ${lib} SOURCES)
      get_target_property(lib_includes ${lib} INCLUDE_DIRECTORIES)
      foreach(src IN LISTS lib_sources)
        if(src MATCHES "\\.(c|cc|cpp)$")
          get_filename_component(abs ${src} ABSOLUTE BASE_DIR ${lib_dir})
          list(APPEND all_sources ${abs})
        endif()
      endforeach()
      if(lib_includes)
        list(APPEND all_includes ${lib_includes})
      endif()
    endforeach()
    set(include_flags)
    foreach(dir IN LISTS all_includes)
      list(APPEND include_flags -I${dir})
    endforeach()
    set(out ${CMAKE_BINARY_DIR}/bin/${name}_libfuzzer)
    add_custom_command(OUTPUT ${out}
      COMMAND ${QUI_CLANGXX} -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined
              -fno-sanitize-recover=undefined ${include_flags} ${all_sources} -o ${out}
      DEPENDS ${all_sources}
      COMMENT "Building libFuzzer target ${name}_libfuzzer"
      VERBATIM)
    add_custom_target(${name}_libfuzzer ALL DEPENDS ${out})
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
    file(MAKE_DIRECTORY ${corpus})
    set(runner ${out})
    set(args -max_total_time=${QUI_FUZZ_SECONDS} -seed=1 -rss_limit_mb=2048 ${corpus})
  else()
    set(args -max_total_time=${QUI_FUZZ_SECONDS} -seed=1)
  endif()
  if(F_SEEDS)
    list(APPEND args ${F_SEEDS})
  endif()
  add_test(NAME ${F_PREFIX}.fuzz.${name} COMMAND ${runner} ${args})
  set_tests_properties(${F_PREFIX}.fuzz.${name} PROPERTIES LABELS fuzz-smoke TIMEOUT 300)
endfunction()
