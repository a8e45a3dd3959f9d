# The command-line program for Linux: the system's discovery, command channel
# and book-type commands over the kernel's SCSI generic driver.

add_library(sg_transport STATIC
  scsi/KernelSgDriver.cpp
  scsi/SgIoTransport.cpp
)
target_link_libraries(sg_transport PUBLIC bitset_core)

# Each command of the table is a file cli/<Name>Command.cpp of its own.
file(GLOB CLI_COMMANDS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/cli/*Command.cpp)
add_library(bitset_cli STATIC
  ${CLI_COMMANDS}
  cli/CliCommands.cpp
  cli/CommandLine.cpp
  cli/CommandRun.cpp
  cli/CommandTable.cpp
  cli/CommandTrace.cpp
  cli/Console.cpp
  cli/DeviceNodes.cpp
  cli/HexText.cpp
  cli/JsonLine.cpp
  cli/NodeSession.cpp
  cli/Report.cpp
)
target_link_libraries(bitset_cli PUBLIC sg_transport bitset_disc)

add_executable(bitset cli/Main.cpp)
target_link_libraries(bitset PRIVATE bitset_cli)

# The real program against simulated drives, through the SG_IO preload
# library of the Wine journeys: this build's own (with the sanitizers), and
# the release build of the cli preset, which test.sh builds before the tests.
set(BITSET_CLI_RELEASE ${CMAKE_CURRENT_SOURCE_DIR}/build/cli/bitset CACHE FILEPATH
    "The release build of bitset that the journeys run too")
if(TARGET sgio_preload)
  foreach(build host release)
    if(build STREQUAL "host")
      set(program $<TARGET_FILE:bitset>)
    else()
      set(program ${BITSET_CLI_RELEASE})
    endif()
    add_test(NAME cli.journeys.${build}
             COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/cli/journeys.py ${program})
    set_tests_properties(cli.journeys.${build} PROPERTIES
      LABELS cli
      ENVIRONMENT "BITSET_SGIO_PRELOAD=$<TARGET_FILE:sgio_preload>")
  endforeach()
endif()
