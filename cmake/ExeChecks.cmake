# Checks of the built Bitset.exe files themselves, from the host build.
# They need the win64 and win32 builds: test.sh builds them before running
# the tests.

# The resources read back from both exes and held against res/Bitset.rc.
# Debian's pefile module belongs to the system's Python.
add_test(NAME exe.Resources
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/tests/exe/resources.py
                 ${CMAKE_CURRENT_SOURCE_DIR}/build/win64/Bitset.exe
                 ${CMAKE_CURRENT_SOURCE_DIR}/build/win32/Bitset.exe)
set_tests_properties(exe.Resources PROPERTIES LABELS exe)
