# What both MinGW-w64 cross builds share; the including toolchain file sets
# CMAKE_SYSTEM_PROCESSOR and _rovant_triple first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   /usr/bin/${_rovant_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${_rovant_triple}-g++-posix)
set(CMAKE_RC_COMPILER  /usr/bin/${_rovant_triple}-windres)

# Libraries and headers come from the MinGW sysroot only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_rovant_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
