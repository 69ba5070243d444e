# Shared by the MinGW-w64 toolchain files; VARNOLL_MINGW_TRIPLE names the target.
# The -posix compilers are used because GoogleTest needs std::thread's model.
set(CMAKE_C_COMPILER ${VARNOLL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNOLL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNOLL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VARNOLL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Everything built for Windows carries its C and C++ runtimes, so that an
# executable needs nothing beside it but Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
