# Run by CPack once it has made a package: packs a zip's files again with
# Info-ZIP, in name order (CPack's own order is the file system's) and with
# no times but their one modification time, the commit's (CPack's zip also
# keeps when each staged file was last read and changed); then writes
# SHA256SUMS beside the packages. So two builds of one commit make the same
# bytes, and anyone can check that a package was made from this source.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.zip$")
    find_program(TELVORN_ZIP_PROGRAM zip)
    if(NOT TELVORN_ZIP_PROGRAM)
      message(FATAL_ERROR "Info-ZIP makes the zip: install it (apt-get install zip)")
    endif()
    get_filename_component(staging ${package} DIRECTORY)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${staging} ${staging}/${CPACK_PACKAGE_FILE_NAME}/*)
    list(SORT files)
    if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
      execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} -- ${files}
        WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)
    endif()
    file(REMOVE ${package})
    # The zip's times are local times: UTC, whatever the build machine's zone.
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${TELVORN_ZIP_PROGRAM} -q -X -9 ${package} -- ${files}
      WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(SHA256 ${package} sum)
  get_filename_component(name ${package} NAME)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
