# The test build: 64-bit, so that it runs under 64-bit Wine on every
# machine, including those whose kernel runs no 32-bit code; mingw-w64's
# posix thread model, which GoogleTest needs (std::mutex). Nothing built
# with it is shipped.
set(NIVALO_MINGW_ARCH x86_64)
set(CMAKE_C_COMPILER   x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
