# Compiler checks as properties of each target rather than global flags.

# telvorn_warnings(TARGET): the warnings every target of the project is held to.
function(telvorn_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()

# telvorn_checks(TARGET): the warnings, and AddressSanitizer with
# UndefinedBehaviorSanitizer when the configuration asks for them
# (TELVORN_SANITIZE, or TELVORN_FUZZ, which adds libFuzzer's coverage to the
# examination core alone).
function(telvorn_checks target)
  telvorn_warnings(${target})
  if(TELVORN_SANITIZE OR TELVORN_FUZZ)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()
