# A 64-bit Windows build of the same sources, used to run the Windows tests under
# 64-bit Wine on machines that cannot execute 32-bit Linux processes (and so no
# 32-bit Wine). The shipped executable is always the 32-bit one.
set(TW_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
