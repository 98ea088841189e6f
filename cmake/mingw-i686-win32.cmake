# The shipped 32-bit build: mingw-w64's win32 thread model. Its runtime
# imports only functions that Windows 95/98 and NT 4.0 export, so Nivalo.scr
# loads on every Windows from 95 on.
set(NIVALO_MINGW_ARCH i686)
set(CMAKE_C_COMPILER   i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
