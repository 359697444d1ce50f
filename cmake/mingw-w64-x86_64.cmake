# Cross-builds Kestrum for 64-bit Windows with Debian's mingw-w64 and runs what it builds under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRUM_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model: std::thread and std::mutex need it with GCC 12.
set(CMAKE_C_COMPILER ${KESTRUM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRUM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRUM_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUM_MINGW_PREFIX})
# Qt for Windows, once scripts/build-qt-windows has built it: static libraries for this target, run
# with the host's Qt tools (moc, rcc, uic, lrelease). A build that never finished has no mark.
set(KESTRUM_QT_BUILDER ${CMAKE_CURRENT_LIST_DIR}/../scripts/build-qt-windows)
# The toolchain is read again for every compiler check: the look-up is asked once per run, through
# the environment, which those checks share.
if(EXISTS ${KESTRUM_QT_BUILDER} AND NOT DEFINED ENV{KESTRUM_QT_WINDOWS})
  execute_process(COMMAND ${KESTRUM_QT_BUILDER} --print OUTPUT_VARIABLE qt_prefix
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(ENV{KESTRUM_QT_WINDOWS} ${qt_prefix})
endif()
if(DEFINED ENV{KESTRUM_QT_WINDOWS})
  set(KESTRUM_QT_WINDOWS $ENV{KESTRUM_QT_WINDOWS})
  if(EXISTS ${KESTRUM_QT_WINDOWS}/.kestrum-finished)
    list(APPEND CMAKE_FIND_ROOT_PATH ${KESTRUM_QT_WINDOWS})
    set(QT_HOST_PATH /usr)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
  else()
    set(KESTRUM_QT_WINDOWS_HINT " at ${KESTRUM_QT_WINDOWS}")
  endif()
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime libraries: the executables then start under Wine without any DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian installs the 64-bit loader outside PATH.
find_program(KESTRUM_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KESTRUM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRUM_WINE})
endif()
