# Cross-building for 64-bit Windows with Debian's MinGW-w64 compiler (threads model "posix", so that
# std::thread exists). Programs are linked statically, so they import only Windows' own DLLs, and run
# under Wine wherever CMake or CTest has to start one (test discovery, the tests themselves).
# PIXMELD_WINDOWS_LIBS names the folder that scripts/build-windows-libs filled.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-gcc-ar-posix)
set(CMAKE_RANLIB ${triple}-gcc-ranlib-posix)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
if(DEFINED ENV{PIXMELD_WINDOWS_LIBS})
  set(PIXMELD_WINDOWS_LIBS $ENV{PIXMELD_WINDOWS_LIBS})
endif()
if(PIXMELD_WINDOWS_LIBS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${PIXMELD_WINDOWS_LIBS})
  # The MinGW wx-config, never the host's.
  set(wxWidgets_CONFIG_EXECUTABLE ${PIXMELD_WINDOWS_LIBS}/bin/wx-config)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Each build folder has a Wine prefix of its own, so that builds and test runs never share one.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ${CMAKE_BINARY_DIR}/wine-prefix)
