# Shared by the MinGW-w64 toolchain files; VARNOLL_MINGW_TRIPLE names the target.
#
# Clang compiles and lld links, over Debian's MinGW-w64 headers and import
# libraries and GCC's MinGW C++ library. Debian 12's GNU ld drops the
# load configuration the program relies on for safe DLL loading
# (DependentLoadFlags), and its GCC always links with GNU ld; lld keeps it,
# and leaves the link timestamp out for reproducible builds.
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${VARNOLL_MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${VARNOLL_MINGW_TRIPLE})
set(CMAKE_RC_COMPILER ${VARNOLL_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP /usr/bin/${VARNOLL_MINGW_TRIPLE}-objdump CACHE FILEPATH "")
set(CMAKE_SYSROOT /usr/${VARNOLL_MINGW_TRIPLE})

# GCC's C++ library with the POSIX thread model (GoogleTest needs std::mutex),
# whose winpthreads is linked in statically like the rest.
file(GLOB _varnoll_gcc_dirs /usr/lib/gcc/${VARNOLL_MINGW_TRIPLE}/*-posix)
list(SORT _varnoll_gcc_dirs)
list(GET _varnoll_gcc_dirs -1 VARNOLL_MINGW_GCC_DIR)
if(NOT IS_DIRECTORY "${VARNOLL_MINGW_GCC_DIR}/include/c++")
  message(FATAL_ERROR "No MinGW-w64 GCC C++ library found under /usr/lib/gcc/${VARNOLL_MINGW_TRIPLE}")
endif()
set(_cxx "${VARNOLL_MINGW_GCC_DIR}/include/c++")
# Each function and object in a section of its own, so that the link drops
# what no one calls (--gc-sections below).
set(CMAKE_CXX_FLAGS_INIT
  "-Wno-unused-command-line-argument -nostdinc++ -isystem ${_cxx} -isystem ${_cxx}/${VARNOLL_MINGW_TRIPLE} -isystem ${_cxx}/backward -ffunction-sections -fdata-sections")

# Everything built for Windows carries its C and C++ runtimes, so that an
# executable needs nothing beside it but Windows' own DLLs.
set(_link "-fuse-ld=lld -static -L${VARNOLL_MINGW_GCC_DIR} -Wl,--no-insert-timestamp -Wl,--gc-sections -lpthread")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_link}")

set(CMAKE_FIND_ROOT_PATH /usr/${VARNOLL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
