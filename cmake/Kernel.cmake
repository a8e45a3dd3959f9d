# The command line on a real Linux kernel: a statically linked `bitset` and
# the static TCMU handler that serves the simulated drive to the kernel, both
# for a small initramfs booted under QEMU (tests/kernel/). Built without the
# sanitizers, which do not link statically.

add_executable(bitset_static cli/Main.cpp)
target_link_libraries(bitset_static PRIVATE bitset_cli)
target_link_options(bitset_static PRIVATE -static)

add_executable(tcmu_handler sim/TcmuHandler.cpp)
target_link_libraries(tcmu_handler PRIVATE drive_model)
target_link_options(tcmu_handler PRIVATE -static)

add_test(NAME kernel.journey
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/kernel/journey.py
                 $<TARGET_FILE:bitset_static> $<TARGET_FILE:tcmu_handler>)
set_tests_properties(kernel.journey PROPERTIES LABELS kernel SKIP_RETURN_CODE 77 TIMEOUT 180)
