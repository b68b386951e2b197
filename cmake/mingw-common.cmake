# Shared body of the MinGW-w64 cross toolchains. The including file sets
# VORN_TRIPLE and VORN_ARCH, and VORN_CLANG for clang in place of GCC.
# VORN_THREADS picks the thread model of the compilers: posix (the default;
# GoogleTest needs it) or win32 (the saver, whose statically linked runtime
# must not import what Windows XP lacks).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT VORN_THREADS)
  set(VORN_THREADS posix)
endif()
# try_compile projects read this file again; they must see the same model.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VORN_THREADS VORN_ARCH)

set(CMAKE_C_COMPILER ${VORN_TRIPLE}-gcc-${VORN_THREADS})
set(CMAKE_CXX_COMPILER ${VORN_TRIPLE}-g++-${VORN_THREADS})
set(CMAKE_RC_COMPILER ${VORN_TRIPLE}-windres)
if(VORN_CLANG)
  # clang's MinGW driver, on the MinGW-w64 headers and libraries and with the
  # C++ library and runtime of the GCC of the same thread model, whose folders
  # it does not find by itself. The posix model's runtime needs winpthread.
  execute_process(COMMAND ${CMAKE_C_COMPILER} -print-libgcc-file-name
    OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  get_filename_component(gcc ${libgcc} DIRECTORY)
  set(CMAKE_C_COMPILER clang)
  set(CMAKE_CXX_COMPILER clang++)
  set(CMAKE_C_COMPILER_TARGET ${VORN_TRIPLE})
  set(CMAKE_CXX_COMPILER_TARGET ${VORN_TRIPLE})
  set(CMAKE_SYSROOT /usr/${VORN_TRIPLE})
  set(CMAKE_CXX_FLAGS_INIT "-isystem ${gcc}/include/c++ -isystem ${gcc}/include/c++/${VORN_TRIPLE}")
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${gcc}")
  if(VORN_THREADS STREQUAL "posix")
    string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -pthread")
  endif()
  set(CMAKE_SHARED_LINKER_FLAGS_INIT ${CMAKE_EXE_LINKER_FLAGS_INIT})
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${VORN_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
