# Cross toolchain: 32-bit Windows through MinGW-w64 (posix thread model, so
# std::thread and GoogleTest work).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VORN_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VORN_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORN_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VORN_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VORN_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
