# Fuzz targets with clang's libFuzzer, in the fuzz preset only (clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer). Each target in
# tests/fuzz/ becomes fuzz_<Name> and a test fuzz.<Name> that runs it a
# fixed number of times from its checked-in corpus in tests/fuzz/corpus/.
# scripts/fuzz.sh runs them for as long as one likes.
if(NOT BITSET_FUZZ)
  return()
endif()

# Runs of each target in its test: a few seconds each. The walk over the
# drive strings questions drives for every input and gets fewer.
set(BITSET_FUZZ_RUNS 50000 CACHE STRING "Runs of each fuzz target in its test")
set(FUZZ_RUNS_DriveStrings 10000)

foreach(library bitset_core drive_model memory_platform)
  target_compile_options(${library} PUBLIC -fsanitize=fuzzer-no-link)
endforeach()

add_custom_target(fuzz_targets)
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS tests/fuzz/*Fuzzer.cpp)
foreach(source ${FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "Fuzzer$" "" name ${name})
  add_executable(fuzz_${name} ${source})
  target_link_libraries(fuzz_${name} PRIVATE memory_platform)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzz_targets fuzz_${name})

  set(runs ${BITSET_FUZZ_RUNS})
  if(DEFINED FUZZ_RUNS_${name})
    set(runs ${FUZZ_RUNS_${name}})
  endif()
  # New inputs go to the build folder, never into the checked-in corpus.
  set(found ${CMAKE_CURRENT_BINARY_DIR}/fuzz-found/${name})
  file(MAKE_DIRECTORY ${found})
  add_test(NAME fuzz.${name}
           COMMAND fuzz_${name} -runs=${runs} -seed=1 -max_len=512
                   -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/fuzz-found/${name}-
                   ${found} ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/corpus/${name})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endforeach()
