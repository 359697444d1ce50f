# Windows test executables run under Wine, in a Wine prefix of this build's own and a Japanese
# locale, so that the ANSI code page is 932 and the regional formats are Japan's.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  message(FATAL_ERROR "Running the Windows tests needs Wine (Debian package wine64)")
endif()
set(KESTRUM_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "The Wine prefix the tests run in")
set(KESTRUM_WINE_LOCALE ja_JP.UTF-8 CACHE STRING "The Linux locale Wine takes the Windows locale from")
# Debian's Wine looks for fonts only where fontconfig does, so its own Tahoma, the face the
# program asks for and Windows has, is added there.
set(KESTRUM_WINE_FONTCONFIG ${CMAKE_BINARY_DIR}/wine-fonts.conf)
file(WRITE ${KESTRUM_WINE_FONTCONFIG} [=[<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <dir>/usr/share/wine/fonts</dir>
</fontconfig>
]=])
set(KESTRUM_WINE_ENV
  "WINEPREFIX=${KESTRUM_WINEPREFIX}"
  "FONTCONFIG_FILE=${KESTRUM_WINE_FONTCONFIG}"
  "WINEDEBUG=-all"
  "QT_QPA_PLATFORM=offscreen"
  "LANG=${KESTRUM_WINE_LOCALE}"
  "LC_ALL=${KESTRUM_WINE_LOCALE}")

# Tests must not write into the prefix's real application-data folder, and the shell does not take
# that folder from %APPDATA%. So in the test prefix the shell folder is the expansion of
# %KESTRUM_TEST_APPDATA%, which every test's TempHome points at a folder of its own
# (tests/support/TempHome_win32.cpp). Wine's first start takes a while: it is done here, once.
get_filename_component(wine_dir ${CMAKE_CROSSCOMPILING_EMULATOR} DIRECTORY)
find_program(KESTRUM_WINESERVER NAMES wineserver64 wineserver HINTS ${wine_dir} /usr/lib/wine)
set(stamp ${KESTRUM_WINEPREFIX}/kestrum-test-prefix)
if(NOT EXISTS ${stamp})
  message(STATUS "Preparing the Wine prefix ${KESTRUM_WINEPREFIX}")
  execute_process(
    COMMAND env ${KESTRUM_WINE_ENV} ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot -i
    COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET ERROR_QUIET)
  # The Windows version the OS probe must find.
  execute_process(COMMAND env ${KESTRUM_WINE_ENV} ${CMAKE_CROSSCOMPILING_EMULATOR} winecfg /v win10
    COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET ERROR_QUIET)
  execute_process(
    COMMAND env ${KESTRUM_WINE_ENV} ${CMAKE_CROSSCOMPILING_EMULATOR} reg add
      "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"
      /v AppData /t REG_EXPAND_SZ /d "%KESTRUM_TEST_APPDATA%" /f
    COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
  # Windows without a display: the tests make windows of their own (a taskbar's, say) headless.
  execute_process(
    COMMAND env ${KESTRUM_WINE_ENV} ${CMAKE_CROSSCOMPILING_EMULATOR} reg add "HKCU\\Software\\Wine\\Drivers"
      /v Graphics /d null /f
    COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
  # The registry reaches the prefix's files when the Wine server ends.
  execute_process(COMMAND env ${KESTRUM_WINE_ENV} ${KESTRUM_WINESERVER} -w)
  file(TOUCH ${stamp})
endif()

function(kestrum_run_under_wine target)
  set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR env ${KESTRUM_WINE_ENV} ${CMAKE_CROSSCOMPILING_EMULATOR})
endfunction()
