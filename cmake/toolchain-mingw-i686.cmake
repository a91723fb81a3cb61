# Cross build for Windows (i686) with Debian's MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(_rovant_triple i686-w64-mingw32)
set(CMAKE_C_COMPILER   /usr/bin/${_rovant_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${_rovant_triple}-g++-posix)
set(CMAKE_RC_COMPILER  /usr/bin/${_rovant_triple}-windres)

# Libraries and headers come from the MinGW sysroot only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_rovant_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No emulator: only 64-bit Wine is available, so 32-bit programs are built but never run here.
