include_guard(GLOBAL)
# yaml-cpp for profiles and inventories. The host builds use Debian's package; the Windows cross
# builds compile Debian's yaml-cpp source (unpacked by scripts/install-deps.sh) as a static library.
set(ROVANT_YAML_CPP_SOURCE /usr/local/src/yaml-cpp-0.7.0+dfsg
  CACHE PATH "yaml-cpp source tree for the Windows cross builds")

if(WIN32)
  if(NOT EXISTS ${ROVANT_YAML_CPP_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "${ROVANT_YAML_CPP_SOURCE} is missing: run scripts/install-deps.sh")
  endif()
  set(YAML_CPP_BUILD_TESTS OFF CACHE BOOL "" FORCE)
  set(YAML_CPP_BUILD_TOOLS OFF CACHE BOOL "" FORCE)
  set(YAML_CPP_BUILD_CONTRIB OFF CACHE BOOL "" FORCE)
  set(YAML_CPP_INSTALL OFF CACHE BOOL "" FORCE)
  set(YAML_BUILD_SHARED_LIBS OFF CACHE BOOL "" FORCE)
  add_subdirectory(${ROVANT_YAML_CPP_SOURCE} ${CMAKE_BINARY_DIR}/third_party/yaml-cpp EXCLUDE_FROM_ALL)
  # Its headers are someone else's code: no warnings from them in ours.
  get_target_property(_rovant_yaml_includes yaml-cpp INTERFACE_INCLUDE_DIRECTORIES)
  set_target_properties(yaml-cpp PROPERTIES
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${_rovant_yaml_includes}")
else()
  find_package(yaml-cpp REQUIRED)
endif()
