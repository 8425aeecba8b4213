# Cross build for 64-bit Windows with Debian's MinGW-w64 (POSIX thread model, for std::thread and
# std::mutex). Programs link statically, so they run without the compiler's DLLs; when Wine is
# installed, ctest and test discovery run them through it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(AMPELON_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${AMPELON_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${AMPELON_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${AMPELON_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${AMPELON_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Headers, libraries and package configs come from the target's root only, never the build
# machine's. nlohmann-json, header-only, is the one exception: cmake/NlohmannJson.cmake takes the
# build machine's headers through a folder that holds them alone.

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Qt for Windows, built by scripts/build-qt-windows: searched for like the compiler's own files.
if(AMPELON_QT_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH "${AMPELON_QT_WINDOWS_PREFIX}")
  list(APPEND CMAKE_PREFIX_PATH "${AMPELON_QT_WINDOWS_PREFIX}")
endif()

# SQLite and SQLiteCpp for Windows, built by scripts/build-sqlite-windows: likewise.
if(AMPELON_SQLITE_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH "${AMPELON_SQLITE_WINDOWS_PREFIX}")
  list(APPEND CMAKE_PREFIX_PATH "${AMPELON_SQLITE_WINDOWS_PREFIX}")
endif()

find_program(AMPELON_WINE wine)
if(AMPELON_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${AMPELON_WINE})
endif()
