# The product version, written once in project(): MAJOR.MINOR shown as "2.00" (the minor number
# in two digits). It feeds the program's version message and resource, the help, the packages and
# every tool's --version through the generated header rovant_version.h (C and resource compiler).
#
#   rovant_version   INTERFACE library: the folder of rovant_version.h
#   ROVANT_VERSION_TEXT   "2.00"
if(PROJECT_VERSION_MINOR LESS 10)
  set(ROVANT_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
else()
  set(ROVANT_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()
set(ROVANT_VERSION_DIR "${CMAKE_BINARY_DIR}/generated")
configure_file("${CMAKE_CURRENT_LIST_DIR}/rovant_version.h.in" "${ROVANT_VERSION_DIR}/rovant_version.h" @ONLY)
add_library(rovant_version INTERFACE)
target_include_directories(rovant_version INTERFACE "${ROVANT_VERSION_DIR}")
