# The programs that a build runs on the build machine: the sample maker and
# the artwork generator. A native build makes them as ordinary targets. A
# cross build, whose compiler makes programs the build machine cannot run,
# makes them in a native build of this project of its own (host-tools, with
# TELVORN_HOST_TOOLS), which follows every source and header they use like
# any build: what they write is always this source's.
option(TELVORN_HOST_TOOLS "Build only the programs that a cross build runs on the build machine" OFF)
if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(TELVORN_HOST_TOOLS_DIR ${PROJECT_BINARY_DIR}/host-tools)
  ExternalProject_Add(telvorn_host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${TELVORN_HOST_TOOLS_DIR}
    CMAKE_ARGS -DTELVORN_HOST_TOOLS=ON -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${TELVORN_HOST_TOOLS_DIR}/filemaker/telvorn-make-samples
                     ${TELVORN_HOST_TOOLS_DIR}/ui/resources/make_artwork)
endif()

# telvorn_host_tool(VARIABLE TARGET FOLDER): sets VARIABLE to what runs the
# host tool TARGET, which the folder FOLDER defines, in add_custom_command's
# COMMAND, and VARIABLE_depends to what the command then DEPENDS on.
function(telvorn_host_tool variable target folder)
  if(CMAKE_CROSSCOMPILING)
    set(tool ${TELVORN_HOST_TOOLS_DIR}/${folder}/${target})
    set(${variable} ${tool} PARENT_SCOPE)
    set(${variable}_depends ${tool} telvorn_host_tools PARENT_SCOPE)
  else()
    set(${variable} ${target} PARENT_SCOPE)
    set(${variable}_depends ${target} PARENT_SCOPE)
  endif()
endfunction()

# telvorn_version_resource(TARGET DESCRIPTION): the Windows version
# information of TARGET's .exe, which its Properties show, and its
# application manifest (cmake/application.manifest.in), both resources of
# the .exe, which so stays one file.
function(telvorn_version_resource target description)
  set(TELVORN_TARGET ${target})
  set(TELVORN_FILE_NAME ${target}.exe)
  set(TELVORN_FILE_DESCRIPTION "${description}")
  set(TELVORN_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/application.manifest.in ${TELVORN_MANIFEST} @ONLY)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${script} @ONLY)
  set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS ${TELVORN_MANIFEST})
  target_sources(${target} PRIVATE ${script})
endfunction()
