# A 32-bit test and benchmark build (NIVALO_TEST_ARCH=i686), for machines
# that run 32-bit code: the posix thread model, which GoogleTest needs. Its
# runtime imports functions that only Windows XP, Vista or the NT line have,
# so nothing built with it is shipped.
set(NIVALO_MINGW_ARCH i686)
set(CMAKE_C_COMPILER   i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
