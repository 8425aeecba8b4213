# SQLite and SQLiteCpp, its RAII wrapper, under the charge library: `ampelon_sqlite` brings both
# (link it PRIVATE; only .cpp files include <SQLiteCpp/...>). On Linux they are Debian's
# libsqlite3-dev and libsqlitecpp-dev (scripts/setup); in the Windows cross build both are built
# from Debian's source packages by scripts/build-sqlite-windows into a cache folder that the
# MinGW toolchain searches (AMPELON_SQLITE_WINDOWS_PREFIX).
find_package(SQLiteCpp 3.2 QUIET)
if(NOT SQLiteCpp_FOUND OR NOT TARGET SQLite::SQLite3)
  if(CMAKE_CROSSCOMPILING)
    message(FATAL_ERROR "SQLiteCpp for Windows is missing: pass -DAMPELON_SQLITE_WINDOWS_PREFIX="
                        "the folder scripts/build-sqlite-windows prints")
  endif()
  message(FATAL_ERROR "SQLiteCpp is missing: install libsqlitecpp-dev and libsqlite3-dev "
                      "(scripts/setup)")
endif()
add_library(ampelon_sqlite INTERFACE)
target_link_libraries(ampelon_sqlite INTERFACE SQLiteCpp SQLite::SQLite3)
