# The shipped 64-bit build, for 64-bit Windows (XP x64, Vista and later):
# mingw-w64's win32 thread model, whose runtime needs no DLL beyond Windows.
set(NIVALO_MINGW_ARCH x86_64)
set(CMAKE_C_COMPILER   x86_64-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
