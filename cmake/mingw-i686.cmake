# The product: a 32-bit Windows executable.
set(TW_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
