# Installing the command line where Debian keeps such files, and its Debian
# package (scripts/package-deb.sh makes it from the cli build):
#
#   bin/bitset                                  the program
#   share/man/man1/bitset.1.gz                  its manual page
#   share/bash-completion/completions/bitset    its bash completion
#   share/doc/bitset/html/                      the help pages, as plain HTML
#
#   share/doc/bitset/                           changelog and copyright
#
# The package's dependencies come from dpkg-shlibdeps.

include(GNUInstallDirs)
# The install step needs the installed files only, not every target.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# The package carries the version of project().
set(BITSET_VERSION ${PROJECT_VERSION})

# The release build hardened as Debian builds its packages (dpkg-buildflags):
# checked string and memory functions, stack protector, read-only
# relocations bound at start.
if(NOT BITSET_SANITIZE)
  get_property(BITSET_TARGETS DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS BITSET_TARGETS)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "EXECUTABLE")
      target_compile_definitions(${target} PRIVATE _FORTIFY_SOURCE=2)
      target_compile_options(${target} PRIVATE -fstack-protector-strong)
    endif()
  endforeach()
  target_link_options(bitset PRIVATE -Wl,-z,relro,-z,now)
endif()

# Compressed as Debian wants it (best compression, no name or time stamp)
# where gzip is at hand; as they are where it is not, which man reads too.
find_program(BITSET_GZIP gzip)
function(bitset_compressed source output target)
  if(BITSET_GZIP)
    set(${output} ${CMAKE_CURRENT_BINARY_DIR}/${target}.gz PARENT_SCOPE)
    add_custom_command(
      OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}.gz
      COMMAND ${BITSET_GZIP} -9n -c ${source} > ${CMAKE_CURRENT_BINARY_DIR}/${target}.gz
      DEPENDS ${source}
      COMMENT "Compressing ${target}")
  else()
    set(${output} ${CMAKE_CURRENT_BINARY_DIR}/${target} PARENT_SCOPE)
    configure_file(${source} ${CMAKE_CURRENT_BINARY_DIR}/${target} COPYONLY)
  endif()
endfunction()

bitset_compressed(${CMAKE_CURRENT_SOURCE_DIR}/cli/bitset.1 BITSET_MAN_PAGE bitset.1)
add_custom_target(bitset_man_page DEPENDS ${BITSET_MAN_PAGE})
add_dependencies(bitset bitset_man_page)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS bitset RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${BITSET_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES cli/bitset.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME bitset)
# The changelog and copyright files Debian asks of every package.
bitset_compressed(${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog BITSET_CHANGELOG changelog.Debian)
add_custom_target(bitset_changelog DEPENDS ${BITSET_CHANGELOG})
add_dependencies(bitset bitset_changelog)
set(BITSET_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/bitset)
file(GLOB BITSET_HELP_PAGES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/help/*.htm)
install(FILES ${BITSET_HELP_PAGES} help/style.css DESTINATION ${BITSET_DOC_DIR}/html)
install(FILES ${BITSET_CHANGELOG} packaging/copyright DESTINATION ${BITSET_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bitset)
set(CPACK_PACKAGE_VERSION ${BITSET_VERSION})
set(CPACK_PACKAGE_CONTACT "Bitset maintainers <bitset@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read and change the book type of QSI / Nu-Tek DVD writers")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "bitset reads and changes the book type (bitsetting) that QSI / Nu-Tek\n"
    "DVD writers write on DVD+R and DVD+RW discs: DVD+R or DVD-ROM, and\n"
    "DVD+RW or DVD-ROM. Discs recorded as DVD-ROM play in many players that\n"
    "refuse the + formats. It talks to the drive through the kernel's SCSI\n"
    "generic driver.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_CURRENT_SOURCE_DIR}/build/dist)
include(CPack)

# The package installed into a scratch root and checked (test.sh makes it
# before running the tests).
if(BUILD_TESTING)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME deb_package
           COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tests/package/check_deb.py
                   ${CPACK_OUTPUT_FILE_PREFIX} ${CMAKE_CURRENT_SOURCE_DIR}/build/cli)
endif()
