# telvorn_source_date(OUT SOURCE_DIR): the time that the packages and the
# manual pages carry, in seconds since 1970, so that two builds of one commit
# make the same bytes: SOURCE_DATE_EPOCH when it is set, otherwise the time
# of the source's last commit; empty when neither is known.
function(telvorn_source_date out source_dir)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(${out} "$ENV{SOURCE_DATE_EPOCH}" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND git -C ${source_dir} log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    set(epoch "")
  endif()
  set(${out} "${epoch}" PARENT_SCOPE)
endfunction()
