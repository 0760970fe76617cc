# Helpers for the Windows targets.

# product_code(target): code of a delivered program, built without exceptions, RTTI and
# unwind tables, so that the C++ runtime's exception machinery stays out of it and it stays small.
function(product_code target)
  set(no_runtime -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-threadsafe-statics)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${no_runtime}>")
endfunction()

# add_windows_program(target FILE name.ext SOURCES ... [DIR dir] [PRODUCT] [CONSOLE])
# A GUI-subsystem program (console with CONSOLE) written to DIR (default: the delivery
# folder build/out). PRODUCT marks a delivered program (see product_code).
function(add_windows_program target)
  cmake_parse_arguments(P "PRODUCT;CONSOLE" "FILE;DIR" "SOURCES" ${ARGN})
  if(NOT P_DIR)
    set(P_DIR ${OUT_DIR})
  endif()
  set(subsystem WIN32)
  if(P_CONSOLE)
    set(subsystem "")
  endif()
  add_executable(${target} ${subsystem} ${P_SOURCES})
  string(REGEX MATCH "^[^.]+" base ${P_FILE})
  string(REGEX MATCH "\\.[^.]+$" ext ${P_FILE})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${base} SUFFIX ${ext}
    RUNTIME_OUTPUT_DIRECTORY ${P_DIR})
  target_link_options(${target} PRIVATE -s)
  if(P_PRODUCT)
    product_code(${target})
  endif()
endfunction()

# add_wine_test(name SOURCES ... [LIBS ...] [SECONDS s])
# A GoogleTest program run under Wine; it finds the delivery folder in VT_OUT
# and the test bench's own programs in VT_TESTBIN. It takes one Wine lane (a display and a
# prefix of its own, see tools/wine-run), so that programs in different lanes run at once.
# SECONDS, its usual run time, lets CTest start the long ones first.
function(add_wine_test name)
  cmake_parse_arguments(T "" "SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT T_SECONDS)
    set(T_SECONDS 0)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE wine_harness gtest gtest_main ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT 600 RESOURCE_GROUPS lanes:1 COST "${T_SECONDS}"
    ENVIRONMENT "VT_OUT=${VT_OUT_WIN};VT_TESTBIN=${VT_TESTBIN_WIN};VT_SIMCARD=${VT_SIMCARD_WIN}")
endfunction()

# Windows view (drive Z:) of a Unix path, as Wine maps it.
function(wine_path var unix)
  string(REPLACE "/" "\\\\" p "${unix}")
  set(${var} "Z:${p}" PARENT_SCOPE)
endfunction()

wine_path(VT_OUT_WIN ${OUT_DIR})
wine_path(VT_TESTBIN_WIN ${CMAKE_BINARY_DIR}/tests)
wine_path(VT_SIMCARD_WIN ${SIMCARD_DIR})
