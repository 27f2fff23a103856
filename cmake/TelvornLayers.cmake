# The program's folders are layers: gamefile at the bottom, then analysis,
# then examine, and the front ends (ui, examiner) on top. Each is a library
# whose headers are reached as "FOLDER/NAME.h" through an include root of its
# own that holds that one folder, so that a target sees the folders it links
# and none above them: an include that points upward does not compile.

# telvorn_layer(TARGET FOLDER [BELOW...]): makes TARGET's headers reachable
# from FOLDER's include root and links the layers BELOW it.
function(telvorn_layer target folder)
  set(root ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${root})
    target_link_libraries(${target} PRIVATE ${ARGN})
  else()
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${ARGN})
  endif()
endfunction()

# telvorn_core_layer(TARGET FOLDER [BELOW...]): a layer of the examination
# core, with the project's checks and, in the fuzz build, the coverage that
# guides the fuzzer, which comes from the examination alone.
function(telvorn_core_layer target folder)
  telvorn_layer(${target} ${folder} ${ARGN})
  telvorn_checks(${target})
  if(TELVORN_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()
