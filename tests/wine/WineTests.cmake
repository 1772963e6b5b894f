# Registering wine tests from any test area (native build only):
#
#   include(${CMAKE_SOURCE_DIR}/tests/wine/WineTests.cmake)
#   keb_add_wine_test(NAME SCRIPT test_file.py LABELS label... [TIMEOUT seconds])
#
# The test runs `python3 -m unittest -v` on SCRIPT (found in the calling folder) with the
# harness module (tests/wine/winharness.py) importable. Every wine test needs the
# fixture "wine_env" (one Xvfb, one persistent wineserver and the private WINEPREFIX
# <build>/tests/wine/prefix, started by the test wine_setup and stopped by wine_cleanup)
# and holds the lock "wine_desktop", so wine tests never run at the same time: they
# share the trace viewer's window class and the X display.
# Nothing is registered unless KEB_WIN_BUILD_DIR is set and wine, Xvfb and python3 exist;
# KEB_WINE_TESTS is then TRUE.
include_guard(GLOBAL)

set(KEB_WINE_TESTS FALSE)
if(NOT KEB_WINDOWS AND NOT KEB_FUZZ AND KEB_WIN_BUILD_DIR)
  find_program(KEB_WINE_PROGRAM wine)
  find_program(KEB_XVFB_PROGRAM Xvfb)
  find_package(Python3 COMPONENTS Interpreter)
  if(KEB_WINE_PROGRAM AND KEB_XVFB_PROGRAM AND Python3_Interpreter_FOUND)
    set(KEB_WINE_TESTS TRUE)
  endif()
endif()

set(KEB_WINE_HARNESS_DIR ${CMAKE_CURRENT_LIST_DIR})
set(KEB_WINE_RUN_DIR ${CMAKE_BINARY_DIR}/tests/wine)
# The guard above skips this file in every later folder, so the function reads what it
# needs from global properties rather than from this folder's variables.
set_property(GLOBAL PROPERTY KEB_WINE_TESTS ${KEB_WINE_TESTS})
set_property(GLOBAL PROPERTY KEB_WINE_PYTHON "${Python3_EXECUTABLE}")

if(KEB_WINE_TESTS)
  add_test(NAME wine_setup
    COMMAND ${Python3_EXECUTABLE} ${KEB_WINE_HARNESS_DIR}/winharness.py setup
            ${KEB_WINE_RUN_DIR}/state.json ${KEB_WINE_RUN_DIR}/prefix ${KEB_WIN_BUILD_DIR})
  add_test(NAME wine_cleanup
    COMMAND ${Python3_EXECUTABLE} ${KEB_WINE_HARNESS_DIR}/winharness.py teardown ${KEB_WINE_RUN_DIR}/state.json)
  set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine_env TIMEOUT 240 LABELS "wine")
  set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine_env TIMEOUT 60 LABELS "wine")
endif()

function(keb_add_wine_test name)
  cmake_parse_arguments(ARG "" "SCRIPT;TIMEOUT" "LABELS" ${ARGN})
  get_property(enabled GLOBAL PROPERTY KEB_WINE_TESTS)
  get_property(python GLOBAL PROPERTY KEB_WINE_PYTHON)
  set(harness_dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  set(run_dir ${CMAKE_BINARY_DIR}/tests/wine)
  if(NOT enabled)
    return()
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 180)
  endif()
  get_filename_component(script_dir ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_SCRIPT} DIRECTORY)
  get_filename_component(script_module ${ARG_SCRIPT} NAME_WE)
  add_test(NAME ${name}
    COMMAND ${python} -m unittest -v ${script_module}
    WORKING_DIRECTORY ${script_dir})
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABELS};wine"
    TIMEOUT ${ARG_TIMEOUT}
    FIXTURES_REQUIRED wine_env
    RESOURCE_LOCK wine_desktop
    ENVIRONMENT "PYTHONPATH=${harness_dir};KEB_WINE_STATE=${run_dir}/state.json;KEB_WINE_WORK=${run_dir}/work;KEB_WIN_BUILD_DIR=${KEB_WIN_BUILD_DIR};PYTHONDONTWRITEBYTECODE=1")
endfunction()
