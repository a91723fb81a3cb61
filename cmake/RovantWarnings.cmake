# Compiler warnings and Windows link helpers shared by every ROVANT target.
#
#   rovant_set_warnings(<target>)    strict warnings as errors (PRIVATE)
#   rovant_windows_static(<target>)  link fully static with MinGW (no runtime DLLs needed)
include_guard(GLOBAL)

function(rovant_set_warnings target)
  get_target_property(_type ${target} TYPE)
  if(_type STREQUAL "INTERFACE_LIBRARY")
    return()
  endif()
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wnon-virtual-dtor
      -Wold-style-cast -Woverloaded-virtual -Werror)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
      # Not with GCC: GCC 12 at -O2 reports false positives inside libstdc++ (e.g. via CLI11).
      target_compile_options(${target} PRIVATE -Wnull-dereference)
    endif()
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      # GCC 12 reports these from inside libstdc++ for correct code at -O2/-O3 (e.g.
      # std::vector<std::uint8_t>::insert at begin()); AddressSanitizer covers the real cases.
      target_compile_options(${target} PRIVATE
        -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread -Wno-restrict)
    endif()
  elseif(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive-)
  endif()
endfunction()

function(rovant_windows_static target)
  if(MINGW)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()
