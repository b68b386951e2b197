# Shared body of the MinGW-w64 cross toolchains. The including file sets
# VORN_TRIPLE and VORN_ARCH. VORN_THREADS picks the thread model of the
# compilers: posix (the default; GoogleTest needs it) or win32 (the saver,
# whose statically linked runtime must not import what Windows XP lacks).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT VORN_THREADS)
  set(VORN_THREADS posix)
endif()
# try_compile projects read this file again; they must see the same model.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VORN_THREADS VORN_ARCH)

set(CMAKE_C_COMPILER ${VORN_TRIPLE}-gcc-${VORN_THREADS})
set(CMAKE_CXX_COMPILER ${VORN_TRIPLE}-g++-${VORN_THREADS})
set(CMAKE_RC_COMPILER ${VORN_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VORN_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
