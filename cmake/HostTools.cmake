# Tools of the host build for running the real program under Wine.

# The simulated drive behind a device file, preloaded into wine64. It runs
# inside Wine's own process, so it carries no sanitizers: the model is
# compiled in directly instead of linking the instrumented drive_model.
add_library(sgio_preload SHARED sim/SgIoPreload.cpp sim/SgIoAnswer.cpp sim/DriveModel.cpp
            sim/SimulatedDisc.cpp)
target_include_directories(sgio_preload PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
set_target_properties(sgio_preload PROPERTIES
  OUTPUT_NAME bitset-sgio-sim
  POSITION_INDEPENDENT_CODE ON
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
target_link_libraries(sgio_preload PRIVATE ${CMAKE_DL_LIBS})
target_link_options(sgio_preload PRIVATE -Wl,--no-undefined)

# The preload library on its own: SG_IO requests as Wine sends them. The
# test program carries no sanitizers either, as their runtime must come
# first in a process and the library is preloaded before it.
add_executable(sgio_preload_test tests/wine/SgIoPreloadTest.cpp)
target_link_libraries(sgio_preload_test PRIVATE GTest::gtest GTest::gtest_main)
add_dependencies(sgio_preload_test sgio_preload)
set(SGIO_TEST_DIR ${CMAKE_CURRENT_BINARY_DIR}/sgio-preload-test)
file(MAKE_DIRECTORY ${SGIO_TEST_DIR})
add_test(NAME sgio_preload COMMAND sgio_preload_test)
set_tests_properties(sgio_preload PROPERTIES ENVIRONMENT
  "LD_PRELOAD=$<TARGET_FILE:sgio_preload>;BITSET_TEST_DEVICE=${SGIO_TEST_DIR}/sr0;BITSET_SIM_LOG=${SGIO_TEST_DIR}/commands.log;BITSET_SIM_DRIVES=${SGIO_TEST_DIR}/sr0=vendor=QSI\\;product=DVDRW SDW-082\\;settings=0x01")

# The real Bitset.exe under Wine, driven as a user would (tests/wine/).
# They need the win64 build: test.sh builds it before running the tests.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(BITSET_WIN64_DIR ${CMAKE_CURRENT_SOURCE_DIR}/build/win64 CACHE PATH
    "The win64 build whose Bitset.exe the Wine tests run")
foreach(journey PassThroughRoute AspiRoute Screen Help RunScript)
  add_test(NAME wine.${journey}
           COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/wine/journeys.py ${journey})
  set_tests_properties(wine.${journey} PROPERTIES
    TIMEOUT 300
    LABELS wine
    ENVIRONMENT "BITSET_WIN64_DIR=${BITSET_WIN64_DIR};BITSET_SGIO_PRELOAD=$<TARGET_FILE:sgio_preload>;BITSET_WINE_WORK=${CMAKE_CURRENT_SOURCE_DIR}/build/wine/tests;BITSET_SCREENSHOTS=${CMAKE_CURRENT_SOURCE_DIR}/build/screenshots")
endforeach()

# help.chm of both Windows builds, read back and checked against help/; the
# unit tests that its messages page names as proof run too.
set(BITSET_WIN32_DIR ${CMAKE_CURRENT_SOURCE_DIR}/build/win32 CACHE PATH
    "The win32 build: the release build, packaged for Windows users")
add_test(NAME help_file
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/help/check_help.py
                 --unit-tests $<TARGET_FILE:unit_tests> ${BITSET_WIN64_DIR} ${BITSET_WIN32_DIR})

# The release package for Windows users (scripts/package.sh makes it).
add_test(NAME release_package
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/package/check_package.py
                 ${CMAKE_CURRENT_SOURCE_DIR}/build/dist ${BITSET_WIN32_DIR})

