# The unit tests of the host builds (BUILD_TESTING; the host preset turns it
# on, with the sanitizers), on the in-memory platform that lives beside them
# in tests/memory/ and never in the product; and the tools that run the real
# programs against simulated drives.

# The in-memory platform, with the dialog templates it builds its windows from.
add_library(memory_platform STATIC
  tests/memory/DialogTemplates.cpp
  tests/memory/MemoryCalls.cpp
  tests/memory/MemoryDrives.cpp
  tests/memory/MemoryLibraries.cpp
  tests/memory/MemoryPlatform.cpp
  tests/memory/MemoryScreen.cpp
  tests/memory/MemoryWindows.cpp
)
target_link_libraries(memory_platform PUBLIC bitset_core drive_model)

find_package(GTest REQUIRED)
file(GLOB UNIT_TESTS CONFIGURE_DEPENDS tests/*.cpp)
add_executable(unit_tests ${UNIT_TESTS})
target_link_libraries(unit_tests PRIVATE memory_platform bitset_cli bitset_disc GTest::gtest GTest::gtest_main)
target_compile_definitions(unit_tests PRIVATE BITSET_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
include(GoogleTest)
gtest_discover_tests(unit_tests WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})

include(cmake/HostTools.cmake)
