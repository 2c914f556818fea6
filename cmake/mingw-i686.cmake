# The product: a 32-bit Windows executable, cross-compiled with mingw-w64 (posix threads).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KESTROP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
