# telvorn_host_tool(NAME SOURCE...): a program that runs on the build machine
# during the build (the artwork generator, the sample maker). Natively it is
# an ordinary target; when cross building it is compiled by the host's own
# C++ compiler, as the target's compiler makes programs the build machine
# cannot run. Sets NAME_command to what runs it in add_custom_command's
# COMMAND and DEPENDS.
function(telvorn_host_tool name)
  set(sources)
  foreach(source IN LISTS ARGN)
    get_filename_component(source ${source} ABSOLUTE)
    list(APPEND sources ${source})
  endforeach()
  if(NOT CMAKE_CROSSCOMPILING)
    add_executable(${name} ${sources})
    telvorn_warnings(${name})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_definitions(${name} PRIVATE TELVORN_VERSION="${PROJECT_VERSION}")
    set(${name}_command ${name} PARENT_SCOPE)
    return()
  endif()
  find_program(TELVORN_HOST_CXX NAMES c++ g++ clang++
    DOC "The build machine's own C++ compiler, for the programs that run during the build")
  if(NOT TELVORN_HOST_CXX)
    message(FATAL_ERROR "No host C++ compiler (c++, g++ or clang++) for ${name}")
  endif()
  set(tool ${CMAKE_CURRENT_BINARY_DIR}/host/${name})
  add_custom_command(
    OUTPUT ${tool}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/host
    COMMAND ${TELVORN_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -Wpedantic -I${PROJECT_SOURCE_DIR}
            -DTELVORN_VERSION="${PROJECT_VERSION}" -o ${tool} ${sources}
    DEPENDS ${sources}
    COMMENT "Building ${name} with the host compiler"
    VERBATIM)
  set(${name}_command ${tool} PARENT_SCOPE)
endfunction()

# telvorn_version_resource(TARGET DESCRIPTION): the Windows version
# information of TARGET's .exe, which its Properties show.
function(telvorn_version_resource target description)
  set(TELVORN_FILE_NAME ${target}.exe)
  set(TELVORN_FILE_DESCRIPTION "${description}")
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${script} @ONLY)
  target_sources(${target} PRIVATE ${script})
endfunction()
