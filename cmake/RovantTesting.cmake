# Unit-test support: GoogleTest/GoogleMock and test registration.
#   rovant_add_gtest(NAME <name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>])
#       A test executable linked with GTest::gmock_main, strict warnings, static on MinGW. Native:
#       one ctest test per test case; Windows: the whole executable is ONE test run under Wine.
#   rovant_requires_wine(<test>...): the fixture "wine" (tests wine-prefix-setup and -cleanup)
#       on x86_64 Windows builds, whose ROVANT_WINE_RUN is the wrapper script.
# The i686 build runs no test program: it checks its files only (tests/packaging).
include_guard(GLOBAL)

enable_testing()
find_package(Python3 COMPONENTS Interpreter)

if(CMAKE_CROSSCOMPILING AND MINGW)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(INSTALL_GMOCK OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  # GoogleTest's sources from the Debian package googletest, with their own GTest:: aliases.
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  foreach(_t IN ITEMS gtest gtest_main gmock gmock_main)
    target_compile_options(${_t} PRIVATE -w)
  endforeach()
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

if(ROVANT_WINE_RUN)
  add_test(NAME wine-prefix-setup COMMAND "${ROVANT_WINE_RUN}" --setup)
  set_tests_properties(wine-prefix-setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300 LABELS wine)
  add_test(NAME wine-prefix-cleanup COMMAND "${ROVANT_WINE_RUN}" --shutdown)
  set_tests_properties(wine-prefix-cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120 LABELS wine)
endif()

function(rovant_requires_wine)
  if(ROVANT_WINE_RUN)
    set_property(TEST ${ARGN} APPEND PROPERTY FIXTURES_REQUIRED wine)
    set_property(TEST ${ARGN} APPEND PROPERTY LABELS wine)
  endif()
endfunction()

function(rovant_add_gtest)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME" "SOURCES;LIBS;LABELS")
  if(NOT arg_NAME OR NOT arg_SOURCES OR arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "rovant_add_gtest: NAME and SOURCES, LIBS and LABELS only")
  endif()
  add_executable(${arg_NAME} ${arg_SOURCES})
  target_link_libraries(${arg_NAME} PRIVATE ${arg_LIBS} GTest::gmock GTest::gmock_main GTest::gtest)
  rovant_set_warnings(${arg_NAME})
  rovant_windows_static(${arg_NAME})

  if(NOT CMAKE_CROSSCOMPILING)
    # Each case is a test of its own, labelled with its executable's name (the LABELS given go
    # to the executable's test where it runs whole).
    gtest_discover_tests(${arg_NAME} DISCOVERY_TIMEOUT 120 NO_PRETTY_VALUES
      PROPERTIES LABELS ${arg_NAME})
  else()
    # Starting Wine once per test case is far too slow: run the whole executable as one test.
    add_test(NAME ${arg_NAME} COMMAND ${arg_NAME})
    set_property(TEST ${arg_NAME} APPEND PROPERTY LABELS ${arg_LABELS})
    rovant_requires_wine(${arg_NAME})
  endif()
endfunction()
