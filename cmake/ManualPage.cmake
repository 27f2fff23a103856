# Makes a tool's manual page with help2man from its --help and --version and
# the sections of its include file (INCLUDE, when given), dated by the
# source's last commit and compressed without a time stamp, so that the same
# source makes the same page.
#   cmake -DHELP2MAN=... -DTOOL=... -DNAME=... [-DINCLUDE=...] -DPAGE=... -DSOURCE_DIR=... -P ManualPage.cmake
include(${CMAKE_CURRENT_LIST_DIR}/TelvornSourceDate.cmake)
telvorn_source_date(epoch ${SOURCE_DIR})
if(epoch)
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
set(include_option)
if(INCLUDE)
  set(include_option --include=${INCLUDE})
endif()
execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1 --name=${NAME} ${include_option} --output=${PAGE} ${TOOL}
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND gzip -9nf ${PAGE} COMMAND_ERROR_IS_FATAL ANY)
