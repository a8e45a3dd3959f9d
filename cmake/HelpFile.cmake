# help.chm, compiled from help/ and placed beside Bitset.exe, where the Help
# button looks for it. chmcmd writes the file named in the project into its
# working directory.
find_program(CHMCMD chmcmd REQUIRED)
file(GLOB HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/help/*)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/help.chm
  COMMAND ${CMAKE_COMMAND} -E rm -f help.chm
  COMMAND ${CHMCMD} --verbosity 0 ${CMAKE_CURRENT_SOURCE_DIR}/help/Bitset.hhp
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  DEPENDS ${HELP_SOURCES}
  COMMENT "Compiling help.chm"
  VERBATIM)
add_custom_target(help_file ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/help.chm)
