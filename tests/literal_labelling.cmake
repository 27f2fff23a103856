# The literal mass labelling, which the tests, the benchmarks and the fuzzer
# hold the examination's own to. It reads mapSquares of whichever core it is
# linked with.
add_library(telvorn_literal_labelling STATIC ${CMAKE_CURRENT_LIST_DIR}/literal_labelling.cpp)
target_include_directories(telvorn_literal_labelling PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR})
target_link_libraries(telvorn_literal_labelling PUBLIC telvorn_filemaker)
# Its rescans are slow by nature: optimised and uninstrumented in every build,
# so that the labelling it checks is what the sanitizers watch.
target_compile_options(telvorn_literal_labelling PRIVATE -O2 -fno-sanitize=all)
