# Shared build rules for both trees: warnings, sanitizers, GoogleTest, test naming.
include(GoogleTest)

set(QUI_TOP ${CMAKE_SOURCE_DIR})
if(WIN32)
  set(QUI_WINDOWS ON)
  enable_language(RC)
  add_compile_definitions(WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0500)
  add_compile_options(-Wall -Wno-unknown-pragmas)
else()
  set(QUI_WINDOWS OFF)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# A warning fails the build, so that none is added unseen (googletest's
# sources, built below, compile without any too).
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)

set(gtest_disable_pthreads ${QUI_WINDOWS} CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# qui_add_test(<target> PREFIX <folder> LABEL <unit|window|display|integration>
#              SOURCES ... [LIBS ...] [WORKDIR dir] [RESOURCE_LOCK name])
# Each GoogleTest case becomes a ctest test named "<folder>.<Suite>.<Case>".
# Tests sharing a RESOURCE_LOCK never run at the same time (for example
# those that register and unregister the same server in the prefix).
function(qui_add_test target)
  cmake_parse_arguments(T "" "PREFIX;LABEL;WORKDIR" "SOURCES;LIBS;RESOURCE_LOCK" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  if(NOT T_WORKDIR)
    set(T_WORKDIR ${CMAKE_BINARY_DIR}/bin)
  endif()
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  # The common test helpers (shared/testing) for every Windows-tree test.
  if(QUI_WINDOWS)
    target_link_libraries(${target} PRIVATE QuiTesting)
  endif()
  # Display tests need an X server for the Wine virtual desktop.
  if(T_LABEL STREQUAL "display" AND QUI_WINDOWS)
    set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
      "${QUI_TOP}/scripts/with-display;${QUI_TOP}/scripts/wine-exec")
  endif()
  # Focus and activation are one per desktop: window tests, and integration
  # tests whose servers and stand-ins open windows of their own, run one at a time.
  set(locks ${T_RESOURCE_LOCK})
  if(T_LABEL MATCHES "^(window|display|integration)$")
    list(APPEND locks desktop)
  endif()
  gtest_discover_tests(${target}
    TEST_PREFIX "${T_PREFIX}."
    WORKING_DIRECTORY ${T_WORKDIR}
    PROPERTIES LABELS ${T_LABEL} TIMEOUT 120
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120)
  # The discovered tests' properties are written as plain words, which keeps
  # only the first of several locks; a script run after discovery gives each
  # test the whole list.
  if(locks)
    set(lockScript ${CMAKE_CURRENT_BINARY_DIR}/${target}_locks.cmake)
    file(WRITE ${lockScript}
      "if(${target}_TESTS)\n  set_tests_properties(\${${target}_TESTS} PROPERTIES RESOURCE_LOCK \"${locks}\")\nendif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${lockScript})
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/QuiIdl.cmake)

# qui_def_file(<out-var> <file.def>): the module-definition file as this
# tree's linker takes it. x86-64 has no stdcall decoration, so there an
# internal name "Name@12" is written "Name" into a copy in the binary folder.
function(qui_def_file out def)
  get_filename_component(def ${def} ABSOLUTE)
  if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(${out} ${def} PARENT_SCOPE)
    return()
  endif()
  file(READ ${def} text)
  string(REGEX REPLACE "(=[ \t]*[A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" text "${text}")
  get_filename_component(name ${def} NAME)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/def64/${name}.new "${text}")
  configure_file(${CMAKE_CURRENT_BINARY_DIR}/def64/${name}.new
    ${CMAKE_CURRENT_BINARY_DIR}/def64/${name} COPYONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
  set(${out} ${CMAKE_CURRENT_BINARY_DIR}/def64/${name} PARENT_SCOPE)
endfunction()
