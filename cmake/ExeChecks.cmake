# Checks of the built Bitset.exe files themselves, from the host build.
# They need the win64 and win32 builds (BITSET_WIN64_DIR and BITSET_WIN32_DIR
# of HostTools.cmake): test.sh builds them before running the tests.

# The resources read back from both exes and held against res/Bitset.rc.
# Debian's pefile module belongs to the system's Python.
add_test(NAME exe.Resources
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/tests/exe/resources.py
                 ${BITSET_WIN64_DIR}/Bitset.exe ${BITSET_WIN32_DIR}/Bitset.exe)

# Every import in the checked-in table and no newer than the Windows
# versions the build is for; the release build within its size.
set(EXE_CHECK ${CMAKE_CURRENT_SOURCE_DIR}/tests/exe/check_exe.py)
add_test(NAME exe.imports.win32
         COMMAND Python3::Interpreter ${EXE_CHECK} imports ${BITSET_WIN32_DIR}/Bitset.exe
                 ${CMAKE_CURRENT_SOURCE_DIR}/tests/exe/imports-win32.md i686-w64-mingw32-objdump win32)
add_test(NAME exe.imports.win64
         COMMAND Python3::Interpreter ${EXE_CHECK} imports ${BITSET_WIN64_DIR}/Bitset.exe
                 ${CMAKE_CURRENT_SOURCE_DIR}/tests/exe/imports-win64.md x86_64-w64-mingw32-objdump win64)
add_test(NAME exe.size.win32
         COMMAND Python3::Interpreter ${EXE_CHECK} size ${BITSET_WIN32_DIR}/Bitset.exe 256)
set_tests_properties(exe.imports.win32 exe.imports.win64 exe.size.win32 exe.Resources PROPERTIES LABELS exe)
