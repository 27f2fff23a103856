# Cross-builds Telvorn for 64-bit Windows with the x86_64 mingw-w64 tool chain:
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
# The product is the 32-bit build (mingw-i686.cmake); this one lets the GUI
# tests and the start script run the same sources under 64-bit Wine on a
# machine that cannot execute 32-bit programs.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TELVORN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TELVORN_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TELVORN_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${TELVORN_MINGW_PREFIX}-windres)

# As in mingw-i686.cmake: the target's libraries and headers, the host's programs.
set(CMAKE_FIND_ROOT_PATH /usr/${TELVORN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No libgcc, libstdc++ or winpthread DLLs at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
