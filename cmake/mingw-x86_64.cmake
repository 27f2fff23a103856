# Cross-builds Telvorn for 64-bit Windows with the x86_64 mingw-w64 tool chain:
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
# The product is the 32-bit build (mingw-i686.cmake); this one lets the GUI
# tests and the start script run the same sources under 64-bit Wine on a
# machine that cannot execute 32-bit programs.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TELVORN_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
