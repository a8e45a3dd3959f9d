# Tools of the Windows builds for running the real program under Wine.
# They land in sim/ and tests/ below the build folder, never beside
# Bitset.exe: a simulated WNASPI32.DLL there would replace the real one.

# WNASPI32.DLL with simulated drives (see sim/WnAspi32.cpp). The tests copy
# it beside Bitset.exe in their Wine prefix.
add_library(wnaspi32_sim SHARED sim/WnAspi32.cpp sim/wnaspi32.def)
target_link_libraries(wnaspi32_sim PRIVATE drive_model)
target_link_options(wnaspi32_sim PRIVATE -static -static-libgcc -static-libstdc++ -s)
set_target_properties(wnaspi32_sim PROPERTIES
  OUTPUT_NAME wnaspi32
  PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/sim
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/sim)

# The program that drives the running window for the end-to-end tests.
add_executable(BitsetDriver tests/wine/BitsetDriver.cpp)
target_include_directories(BitsetDriver PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})  # res/resource.h
target_link_options(BitsetDriver PRIVATE -static -static-libgcc -static-libstdc++ -s)
set_target_properties(BitsetDriver PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/tests)
