# Libraries from Debian's packages, built for whichever target this tree is for.

# GoogleTest, from the sources of the googletest package.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# zlib: the mingw package on the target, the system one natively.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

# minizip's unzip interface, from zlib's own sources (fetched by tools/setup.sh).
set(WAVORIN_MINIZIP_DIR "${WAVORIN_DEPS}/zlib-src/contrib/minizip")
if(NOT EXISTS "${WAVORIN_MINIZIP_DIR}/unzip.c")
  message(FATAL_ERROR "minizip sources missing in ${WAVORIN_MINIZIP_DIR}: run tools/setup.sh")
endif()
add_library(minizip STATIC "${WAVORIN_MINIZIP_DIR}/unzip.c" "${WAVORIN_MINIZIP_DIR}/ioapi.c")
if(WIN32)
  # Its file functions on the wide Win32 calls, for archive paths of any characters.
  target_sources(minizip PRIVATE "${WAVORIN_MINIZIP_DIR}/iowin32.c")
endif()
target_include_directories(minizip SYSTEM PUBLIC "${WAVORIN_MINIZIP_DIR}")
target_compile_definitions(minizip PRIVATE NOCRYPT NOUNCRYPT USE_FILE32API)
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC ZLIB::ZLIB)

# stb_image is header only; the one translation unit that instantiates it lives in ui/gfx.
add_library(stb INTERFACE)
target_include_directories(stb SYSTEM INTERFACE /usr/include/stb)
