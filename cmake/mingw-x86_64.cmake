# The same sources for 64-bit Windows: how the Windows tests run under Wine on a kernel that
# cannot execute 32-bit programs (Wine's i386 half needs that; wine64 does not).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(KESTROP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
