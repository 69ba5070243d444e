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
# Static libc++ and no link timestamp, as the other builds; what no one
# calls is dropped. Zig builds libc++ at link time in the mode the link's
# -O asks for: in a release build -Os, the last -O on the line, makes it the
# small build (192 KB instead of 230 KB for the installer), while the
# project's own code keeps the build type's optimisation. (Without any -O,
# as in CMake's compiler checks, Zig compiles with UBSan, which a small
# libc++ build does not link: so only the release link gets -Os.)
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-Os")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE_INIT "-Os")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(VARNOLL_ZIG_TOOLCHAIN ON)
