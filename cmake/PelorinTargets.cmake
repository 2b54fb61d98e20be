# Shared compile settings and the helpers every folder uses to declare its targets.

add_library(pelorin_options INTERFACE)
target_compile_options(pelorin_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wno-unused-parameter)
if(PELORIN_WERROR)
  target_compile_options(pelorin_options INTERFACE -Werror)
endif()
if(PELORIN_SANITIZE)
  target_compile_options(pelorin_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(pelorin_options INTERFACE -fsanitize=address,undefined)
endif()
if(PELORIN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "PELORIN_FUZZ needs clang (CXX=clang++)")
  endif()
  target_compile_options(pelorin_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# pelorin_add_library(NAME SOURCES ... [DEPENDS lib ...]): a subsystem library pelorin_NAME whose public
# headers are included as "NAME/header.h".
function(pelorin_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(pelorin_${name} STATIC ${ARG_SOURCES})
  target_include_directories(pelorin_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(pelorin_${name} PUBLIC ${ARG_DEPENDS} PRIVATE pelorin_options)
endfunction()

# pelorin_add_program(NAME SOURCES ... [DEPENDS lib ...] [OUTPUT name]): an executable installed into the
# program folder. OUTPUT sets the file name there (the suite keeps its ".exe" names on every platform).
function(pelorin_add_program name)
  cmake_parse_arguments(ARG "" "OUTPUT" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} pelorin_options)
  if(ARG_OUTPUT)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT} SUFFIX "")
  endif()
  install(TARGETS ${name} RUNTIME DESTINATION .)
endfunction()

# pelorin_add_test(NAME SOURCES ... LIBS ...): one GoogleTest program test_NAME, each test registered with CTest.
function(pelorin_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(test_${name} ${ARG_SOURCES})
  target_link_libraries(test_${name} PRIVATE ${ARG_LIBS} pelorin_test_support GTest::gtest GTest::gmock
                                             GTest::gtest_main pelorin_options)
  include(GoogleTest)
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "PELORIN_BUILD_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# pelorin_add_fuzzer(NAME SOURCES ... LIBS ...): a libFuzzer program fuzz_NAME, built only with PELORIN_FUZZ.
# Its seeds are the files the tests leave in <build>/fuzz-corpus/NAME.
function(pelorin_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT PELORIN_FUZZ)
    return()
  endif()
  add_executable(fuzz_${name} ${ARG_SOURCES})
  target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS} pelorin_options)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY PELORIN_FUZZERS fuzz_${name})
endfunction()

# pelorin_add_bench(NAME SOURCES ... LIBS ...): a Google Benchmark program bench_NAME (never run by CTest).
function(pelorin_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT PELORIN_BENCH)
    return()
  endif()
  find_package(benchmark REQUIRED)
  add_executable(bench_${name} ${ARG_SOURCES})
  target_link_libraries(bench_${name} PRIVATE ${ARG_LIBS} pelorin_test_support benchmark::benchmark
                                              benchmark::benchmark_main pelorin_options)
endfunction()
