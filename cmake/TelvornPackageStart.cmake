# Run by CPack before it makes a package: the package's files carry the time
# of the source's last commit (CPack takes SOURCE_DATE_EPOCH for them), not
# the time of the build.
include(${CMAKE_CURRENT_LIST_DIR}/TelvornSourceDate.cmake)
telvorn_source_date(epoch ${CPACK_TELVORN_SOURCE_DIR})
if(epoch)
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
