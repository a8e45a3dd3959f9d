# Whole journeys with one fault each (tests/faults/): every platform call and
# every allocation of the program failing in turn. They take a while, so
# they have a program and a label of their own.
add_executable(fault_journeys
  tests/faults/FaultJourneyTest.cpp
  tests/faults/JourneyPlatform.cpp
  tests/AllocationFaults.cpp)
target_link_libraries(fault_journeys PRIVATE memory_platform GTest::gtest GTest::gtest_main)
target_compile_definitions(fault_journeys PRIVATE BITSET_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
add_test(NAME faults.Journeys COMMAND fault_journeys)
set_tests_properties(faults.Journeys PROPERTIES LABELS faults TIMEOUT 1200)
