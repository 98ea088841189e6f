# What every mingw-w64 toolchain file shares: windres, the sysroot and the
# Wine loader that runs what it builds. Included by the toolchain files after
# they have set NIVALO_MINGW_ARCH (i686 or x86_64) and named their compilers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${NIVALO_MINGW_ARCH})

set(CMAKE_RC_COMPILER ${NIVALO_MINGW_ARCH}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NIVALO_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Debian's /usr/bin/wine picks the 32-bit loader whenever it is installed,
# even on a machine whose kernel runs no 32-bit code. The 64-bit loader runs
# 64-bit programs everywhere, and starts the 32-bit loader itself for a
# 32-bit program where the machine can run one.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
