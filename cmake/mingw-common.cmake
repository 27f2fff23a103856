# The settings that the mingw-w64 tool chain files share, for the target
# whose triplet they have put in TELVORN_MINGW_PREFIX.

# The POSIX thread model, whose runtime has std::mutex and the rest of the
# standard library's threading, which GoogleTest needs; linked statically.
set(CMAKE_C_COMPILER ${TELVORN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TELVORN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TELVORN_MINGW_PREFIX}-windres)

# Libraries and headers come from the target's root only; programs (such as
# the host compiler that builds the artwork generator) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TELVORN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No libgcc, libstdc++ or winpthread DLLs at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The GUI subsystem (-mwindows) is asked for per program, by
# add_executable(NAME WIN32 ...), so that console programs such as test
# drivers keep their standard output.

# No link time stamp in the .exe files, so that two builds of one commit make
# the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT} -Wl,--no-insert-timestamp")

# The tests run under Wine, through the project's one Wine set-up, which
# picks the loader for each program's word size.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine.sh)
