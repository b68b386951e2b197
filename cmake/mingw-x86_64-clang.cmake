# Cross toolchain: 64-bit Windows with clang for the MinGW target, the second
# compiler, which scripts/check.sh builds the product and its unit tests with.
set(VORN_CLANG ON)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)
