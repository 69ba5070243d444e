# Cross-build for ARM64 Windows with Zig's toolchain (from the Python package
# registry, in the project's .venv): Zig's clang and lld, its MinGW-w64
# headers and CRT, and libc++, all linked in statically. Debian has no
# MinGW-w64 for ARM64.
#
# Only ARM64 uses it: Zig's MinGW links the Universal CRT (ucrtbase.dll,
# api-ms-win-crt-*), which every ARM64 Windows has but Windows 7 and 8.1 lack
# without an update, so the x86 and x64 builds keep the msvcrt.dll toolchain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)
set(CMAKE_C_COMPILER ${CMAKE_CURRENT_LIST_DIR}/zig-cc)
set(CMAKE_CXX_COMPILER ${CMAKE_CURRENT_LIST_DIR}/zig-cxx)
# Zig's headers, for the resource script's preprocessor.
file(REAL_PATH ${CMAKE_CURRENT_LIST_DIR}/../../.venv/bin/zig _varnoll_zig)
get_filename_component(_varnoll_zig_dir ${_varnoll_zig} DIRECTORY)
set(CMAKE_RC_COMPILER llvm-windres-14)
set(CMAKE_RC_FLAGS_INIT "--target=aarch64-w64-mingw32 -I${_varnoll_zig_dir}/lib/libc/include/any-windows-any")
set(CMAKE_AR llvm-ar-14)
set(CMAKE_RANLIB llvm-ranlib-14)
set(CMAKE_DLLTOOL llvm-dlltool-14)
set(VARNOLL_DLLTOOL_MACHINE arm64)
set(CMAKE_OBJDUMP llvm-objdump-14 CACHE FILEPATH "")
# Static libc++ and no link timestamp, as the other builds.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(VARNOLL_ZIG_TOOLCHAIN ON)
