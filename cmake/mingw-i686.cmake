# Cross-builds Telvorn for 32-bit Windows with the i686 mingw-w64 tool chain:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
# Everything is linked statically, so each .exe runs on Windows and under Wine
# with no runtime DLL beside it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TELVORN_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TELVORN_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TELVORN_MINGW_PREFIX}-g++)
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
