# Cross toolchain: 32-bit Windows (the product) with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VORN_TRIPLE i686-w64-mingw32)
set(VORN_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
