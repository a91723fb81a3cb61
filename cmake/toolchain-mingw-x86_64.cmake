# Cross build for Windows (x86_64) with Debian's MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_rovant_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# Programs built here run under 64-bit Wine, through a wrapper generated into the build folder
# (private prefix <build>/wineprefix). See cmake/wine-run.sh.in.
set(ROVANT_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run.sh")
set(CMAKE_CROSSCOMPILING_EMULATOR "${ROVANT_WINE_RUN}")
get_property(_rovant_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT _rovant_in_try_compile)
  set(ROVANT_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in" "${ROVANT_WINE_RUN}" @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                     WORLD_READ WORLD_EXECUTE)
endif()
