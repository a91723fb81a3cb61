include_guard(GLOBAL)
# Header-only libraries from Debian's packages (CLI11, nlohmann/json). Their
# folders are linked into the build tree, so that cross builds for Windows can
# use them without seeing the rest of the host's /usr/include.
set(_rovant_third_party ${CMAKE_BINARY_DIR}/third_party/include)
foreach(_dir CLI nlohmann)
  if(NOT EXISTS /usr/include/${_dir})
    message(FATAL_ERROR "/usr/include/${_dir} is missing: run scripts/install-deps.sh")
  endif()
  if(NOT EXISTS ${_rovant_third_party}/${_dir})
    file(MAKE_DIRECTORY ${_rovant_third_party})
    file(CREATE_LINK /usr/include/${_dir} ${_rovant_third_party}/${_dir} SYMBOLIC)
  endif()
endforeach()

add_library(rovant_cli11 INTERFACE)
target_include_directories(rovant_cli11 SYSTEM INTERFACE ${_rovant_third_party})
add_library(rovant_json INTERFACE)
target_include_directories(rovant_json SYSTEM INTERFACE ${_rovant_third_party})
