# Cross-builds Telvorn for 32-bit Windows with the i686 mingw-w64 tool chain:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
# Everything is linked statically, so each .exe runs on Windows and under Wine
# with no runtime DLL beside it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TELVORN_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
