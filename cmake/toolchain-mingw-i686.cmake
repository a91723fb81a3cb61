# Cross build for Windows (i686) with Debian's MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_rovant_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# No emulator: only 64-bit Wine is available, so 32-bit programs are built but never run here.
