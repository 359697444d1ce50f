include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  # No GoogleTest for the target system is installed: build it from Debian's sources.
  set(KESTRUM_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${KESTRUM_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/KestrumWineTest.cmake)
endif()

# kestrum_add_test(<target> SOURCES <files...> LIBS <targets...> [QT])
# Builds one test executable and registers each of its tests with CTest. Every test runs on Qt's
# offscreen platform with a private HOME and XDG folders, so no test can touch a real user's files;
# tests that write files also make their own temporary folder (tests/support/TempHome.h).
function(kestrum_add_test target)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE kestrum_options kestrum_test_support ${ARG_LIBS} GTest::gtest GTest::gmock)
  if(ARG_QT)
    target_link_libraries(${target} PRIVATE kestrum_qt_test_main)
    # A static Qt links only the platforms named; the tests run on the offscreen one.
    if(WIN32)
      qt_import_plugins(${target} INCLUDE Qt6::QOffscreenIntegrationPlugin)
    endif()
  else()
    target_link_libraries(${target} PRIVATE GTest::gtest_main)
  endif()
  if(WIN32)
    kestrum_run_under_wine(${target})
  else()
    set(home ${CMAKE_BINARY_DIR}/test-home/${target})
    file(MAKE_DIRECTORY ${home}/data ${home}/run)
    file(CHMOD ${home}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    # CTest's per-test ENVIRONMENT property does not survive test discovery with more than one
    # variable, so every test (and the discovery run) is started through env instead.
    set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR
      env
      "QT_QPA_PLATFORM=offscreen"
      "HOME=${home}"
      "XDG_DATA_HOME=${home}/data"
      "XDG_RUNTIME_DIR=${home}/run"
      "LC_ALL=C.UTF-8"
      "ASAN_OPTIONS=detect_leaks=1"
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()
