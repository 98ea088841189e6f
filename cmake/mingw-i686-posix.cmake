# The test build: mingw-w64's posix thread model, which GoogleTest needs
# (std::mutex). Its runtime imports functions that only Windows XP, Vista or
# the NT line have, so nothing built with it is shipped.
set(CMAKE_C_COMPILER   i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686-common.cmake)
