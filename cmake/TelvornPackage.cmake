# What a user runs, installed (cmake --install) and packed (the package
# target): on Linux the command-line tools with their manual pages and the
# report's schema, as a Debian package; on Windows both programs, the samples
# in the map folder beside them (where the program looks when no game is
# installed), the report's schema, a short README.txt for Windows users and
# the licence, as a zip.

set(CPACK_PACKAGE_NAME telvorn)
set(CPACK_PACKAGE_VENDOR "The Telvorn developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "figures of Corvanta map and scenario files")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Two builds of one commit make the same bytes: the files are dated by the
# commit, and SHA256SUMS beside the packages lets anyone check them.
set(CPACK_TELVORN_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/TelvornPackageStart.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/TelvornPackageDone.cmake)

# The Debian package's documentation folder, which holds the report's schema:
# --help names it, and the zip's place for it, on either system.
include(GNUInstallDirs)
set(debian_prefix /usr)
set(docs_destination ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_PACKAGE_NAME})
target_compile_definitions(telvorn_examiner PRIVATE
  TELVORN_INSTALLED_SCHEMA="${debian_prefix}/${docs_destination}/report.schema.json")

if(WIN32)
  install(TARGETS telvorn telvorn-examine RUNTIME DESTINATION .)
  install(DIRECTORY ${TELVORN_SAMPLES_DIR}/ DESTINATION map)
  # Plain text with Windows line ends, which every Windows editor shows; its source keeps Unix ones.
  set(readme ${PROJECT_BINARY_DIR}/README.txt)
  configure_file(${PROJECT_SOURCE_DIR}/docs/README.txt.in ${readme} @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${readme} ${PROJECT_SOURCE_DIR}/LICENSE ${TELVORN_REPORT_SCHEMA} DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
  set(CPACK_PACKAGE_FILE_NAME telvorn-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
  set(TELVORN_ZIP ${PROJECT_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip)  # CPack changes the name it is given
  include(CPack)
  return()
endif()

install(TARGETS telvorn-examine telvorn-make-samples RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages made by help2man from each tool's --help and --version, so
# that they never drift from the program, with the sections of a page's own
# (examples) from its include file, where it has one.
find_program(TELVORN_HELP2MAN help2man DOC "help2man, which makes the manual pages")
if(NOT TELVORN_HELP2MAN)
  message(FATAL_ERROR "help2man makes the manual pages: install it (apt-get install help2man)")
endif()
set(manual_pages)
foreach(tool_and_name IN ITEMS
    "telvorn-examine|examine Corvanta map and scenario files|examiner/telvorn-examine.h2m"
    "telvorn-make-samples|write Telvorn's sample Corvanta files")
  string(REPLACE "|" ";" tool_and_name "${tool_and_name}")
  list(GET tool_and_name 0 tool)
  list(GET tool_and_name 1 name)
  set(include)
  if(tool_and_name MATCHES "[.]h2m$")
    list(GET tool_and_name 2 include)
    set(include ${PROJECT_SOURCE_DIR}/${include})
  endif()
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${tool}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${TELVORN_HELP2MAN} -DTOOL=$<TARGET_FILE:${tool}> -DNAME=${name}
            -DINCLUDE=${include} -DPAGE=${page} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -P ${PROJECT_SOURCE_DIR}/cmake/ManualPage.cmake
    DEPENDS ${tool} ${include} ${PROJECT_SOURCE_DIR}/cmake/ManualPage.cmake
    COMMENT "Making the manual page of ${tool}"
    VERBATIM)
  list(APPEND manual_pages ${page}.gz)
endforeach()
add_custom_target(telvorn_manual_pages ALL DEPENDS ${manual_pages})
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# What Debian asks of every package's documentation: the copyright and the
# changelog, compressed without a time stamp.
set(doc_dir ${CMAKE_CURRENT_BINARY_DIR}/debian-doc)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE TELVORN_LICENSE_TEXT)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/copyright.in ${doc_dir}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in ${doc_dir}/changelog @ONLY)
add_custom_command(
  OUTPUT ${doc_dir}/changelog.gz
  COMMAND gzip -9nkf ${doc_dir}/changelog
  DEPENDS ${doc_dir}/changelog
  VERBATIM)
add_custom_target(telvorn_debian_doc ALL DEPENDS ${doc_dir}/changelog.gz)
install(FILES ${doc_dir}/copyright ${doc_dir}/changelog.gz ${TELVORN_REPORT_SCHEMA} DESTINATION ${docs_destination})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX ${debian_prefix})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Telvorn developers <maintainers@telvorn.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION
  "Telvorn examines the data files of the strategy game Corvanta, a map or a
scenario, and shows what they hold in figures: the map's size and wrap, its
terrain counts and shares, its water and land masses, its cities' average
production efficiency and specialties and, for a scenario, the players' unit
counts. telvorn-examine checks many files at once, as text, JSON or CSV, and
draws pictures of their masses; telvorn-make-samples writes sample files.")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
