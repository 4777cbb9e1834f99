# Shared part of the mingw toolchain files; TW_MINGW_ARCH is i686 or x86_64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TW_MINGW_ARCH})
# The -posix compilers have std::thread and std::mutex.
set(CMAKE_C_COMPILER ${TW_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${TW_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${TW_MINGW_ARCH}-w64-mingw32-windres)
if(DEFINED ENV{TW_CACHE})
  set(TW_CACHE_DIR $ENV{TW_CACHE})
else()
  set(TW_CACHE_DIR /var/cache/tarnwheel)
endif()
# libpng and libjpeg-turbo are cross-built by scripts/setup.sh into the cache.
set(CMAKE_FIND_ROOT_PATH /usr/${TW_MINGW_ARCH}-w64-mingw32 ${TW_CACHE_DIR}/${TW_MINGW_ARCH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
