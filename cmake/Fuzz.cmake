# Fuzz targets. Every target gets a replay program (the target plus fuzz/replay_main.cpp) whose
# run over the target's corpus and crashers is a test, with any compiler. With MORVANE_FUZZ=ON
# (clang) every library is also compiled with coverage instrumentation and the address and
# undefined sanitizers, and each target becomes a libFuzzer program besides.
option(MORVANE_FUZZ "Build libFuzzer programs; instrument and sanitize every library (clang)" OFF)

if(MORVANE_FUZZ)
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer")
  set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=fuzzer")
  check_cxx_source_compiles("
    #include <cstddef>
    #include <cstdint>
    extern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }"
    MORVANE_HAVE_LIBFUZZER)
  unset(CMAKE_REQUIRED_FLAGS)
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
  if(NOT MORVANE_HAVE_LIBFUZZER)
    message(FATAL_ERROR "MORVANE_FUZZ needs a compiler with libFuzzer: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # Coverage for the fuzzer in every object, not only in the harness; the sanitizers turn silent
  # memory faults into findings.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

add_custom_target(morvane_fuzz)
set(MORVANE_FUZZ_LIST ${PROJECT_BINARY_DIR}/fuzz/targets.txt)
file(WRITE ${MORVANE_FUZZ_LIST} "")

# morvane_fuzz_target(name DATA dir SOURCES ... LIBS ... [DICT file] [MAX_LEN bytes]
#                     [MALLOC_LIMIT_MB mb])
# The target's inputs live in <current source dir>/<dir>/corpus and <dir>/crashers. DICT,
# MAX_LEN and MALLOC_LIMIT_MB are written to build/fuzz/targets.txt for fuzz/run_all.sh.
function(morvane_fuzz_target name)
  cmake_parse_arguments(F "" "DATA;DICT;MAX_LEN;MALLOC_LIMIT_MB" "SOURCES;LIBS" ${ARGN})
  set(data ${CMAKE_CURRENT_SOURCE_DIR}/${F_DATA})
  add_executable(${name}_replay ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
  target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR})
  add_dependencies(morvane_fuzz ${name}_replay)
  add_test(NAME fuzz_${name}_replay COMMAND ${name}_replay ${data}/corpus ${data}/crashers)
  set_tests_properties(fuzz_${name}_replay PROPERTIES LABELS fuzz TIMEOUT 120)
  if(MORVANE_FUZZ)
    add_executable(${name}_fuzz ${F_SOURCES})
    target_compile_options(${name}_fuzz PRIVATE -fsanitize=fuzzer)
    target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name}_fuzz PRIVATE ${F_LIBS})
    target_include_directories(${name}_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
    add_dependencies(morvane_fuzz ${name}_fuzz)
    set(dict "-")
    if(F_DICT)
      set(dict ${CMAKE_CURRENT_SOURCE_DIR}/${F_DICT})
    endif()
    if(NOT F_MAX_LEN)
      set(F_MAX_LEN 4096)
    endif()
    if(NOT F_MALLOC_LIMIT_MB)
      set(F_MALLOC_LIMIT_MB 64)
    endif()
    file(APPEND ${MORVANE_FUZZ_LIST}
         "${name} ${CMAKE_CURRENT_BINARY_DIR}/${name}_fuzz ${data} ${dict} ${F_MAX_LEN} ${F_MALLOC_LIMIT_MB}\n")
  endif()
endfunction()
