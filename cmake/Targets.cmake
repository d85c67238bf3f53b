# A GoogleTest executable registered with CTest; tests run from the build root.
function(morvane_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    MORVANE_TESTDATA_DIR="${MORVANE_TESTDATA_DIR}"
    MORVANE_BUILD_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} WORKING_DIRECTORY ${PROJECT_BINARY_DIR} DISCOVERY_TIMEOUT 60)
endfunction()

function(morvane_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE
    MORVANE_TESTDATA_DIR="${MORVANE_TESTDATA_DIR}"
    MORVANE_BUILD_DIR="${PROJECT_BINARY_DIR}")
endfunction()
