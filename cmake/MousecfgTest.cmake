# mousecfg_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>]
#                   [LAUNCHER <command...>] [ENVIRONMENT <VAR=value...>] [WINDOW])
#
# A QtTest executable registered with CTest. Widget tests run on the offscreen
# platform; sanitizer reports abort the test so they fail the run.
# WINDOW marks a window suite (label "window"): it runs on the platform that
# MOUSECFG_TEST_QPA names in ctest's environment, offscreen without it
# (scripts/wayland-check.sh runs them on a Wayland compositor this way).
function(mousecfg_add_test name)
  cmake_parse_arguments(T "WINDOW" "" "SOURCES;LIBS;LABELS;LAUNCHER;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
  if(T_WINDOW)
    add_test(NAME ${name} COMMAND sh ${CMAKE_SOURCE_DIR}/tests/window-launch.sh ${T_LAUNCHER} $<TARGET_FILE:${name}>)
    set(platform_env)
    list(APPEND T_LABELS window)
  else()
    add_test(NAME ${name} COMMAND ${T_LAUNCHER} $<TARGET_FILE:${name}>)
    set(platform_env "QT_QPA_PLATFORM=offscreen")
  endif()
  set(env
    ${platform_env}
    "MOUSECFG_APPDIR=${MOUSECFG_APPDIR}"
    # The full trace, as before the categories: tests read the diagnostics.
    "QT_LOGGING_RULES=mousecfg.*=true"
    "ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1"
    "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
    "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1"
    ${T_ENVIRONMENT})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
