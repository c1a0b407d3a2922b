# The second compiler: clang for the same 64-bit Windows target, over the mingw-w64 headers and libraries and the
# C++ library of the mingw-w64 GCC (Debian's clang finds neither by itself). It keeps the sources free of what only
# GCC accepts; resources still go through windres, and linking through the mingw-w64 linker.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELTO_TARGET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${PELTO_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${PELTO_TARGET})
set(CMAKE_RC_COMPILER ${PELTO_TARGET}-windres)

file(GLOB PELTO_GCC_DIRS /usr/lib/gcc/${PELTO_TARGET}/*-posix)
list(GET PELTO_GCC_DIRS 0 PELTO_GCC_DIR)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${PELTO_GCC_DIR}/include/c++ ${PELTO_GCC_DIR}/include/c++/${PELTO_TARGET}
    ${PELTO_GCC_DIR}/include/c++/backward)
# That C++ library is built on winpthreads, which -pthread links.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=/usr/bin/${PELTO_TARGET}-ld -L${PELTO_GCC_DIR} -pthread")

set(CMAKE_FIND_ROOT_PATH /usr/${PELTO_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
