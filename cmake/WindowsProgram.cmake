# The shipped executable: GUI subsystem, static C and C++ runtimes, and the
# device-installation calls bound at load time, each from its own DLL.

enable_language(RC)

target_include_directories(varnoll_pass PUBLIC ${PROJECT_SOURCE_DIR}/src/platform/win32)
# Windows 7 is the oldest system the x86 and x64 builds support; ARM64
# Windows starts at Windows 10, and the Zig toolchain already says so.
target_compile_definitions(varnoll_pass PUBLIC NOMINMAX WIN32_LEAN_AND_MEAN)
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL ARM64)
  target_compile_definitions(varnoll_pass PUBLIC _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

set(VARNOLL_DIST_DIR "${PROJECT_SOURCE_DIR}/dist" CACHE PATH
  "Folder that receives the executables, laid out as they ship")

if(CMAKE_SYSTEM_PROCESSOR STREQUAL ARM64)
  set(VARNOLL_EXE_NAME varnollarm64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VARNOLL_EXE_NAME varnoll64)
else()
  set(VARNOLL_EXE_NAME varnoll)
endif()

# A toolchain without a newdev import library names a dlltool machine, and
# the library is made here from the one export the program needs.
if(VARNOLL_DLLTOOL_MACHINE)
  set(_importlibs ${CMAKE_CURRENT_BINARY_DIR}/importlibs)
  file(MAKE_DIRECTORY ${_importlibs})
  execute_process(
    COMMAND ${CMAKE_DLLTOOL} -m ${VARNOLL_DLLTOOL_MACHINE}
            -d ${PROJECT_SOURCE_DIR}/cmake/importlibs/newdev.def -l ${_importlibs}/libnewdev.a
    RESULT_VARIABLE _dlltool_status)
  if(NOT _dlltool_status EQUAL 0)
    message(FATAL_ERROR "${CMAKE_DLLTOOL} could not make the newdev import library")
  endif()
  link_directories(${_importlibs})
endif()

# The manifest (administrator rights, supported Windows versions) and the
# version resource, from the one version number of project().
set(VARNOLL_MANIFEST ${PROJECT_SOURCE_DIR}/src/app/resources/varnoll.manifest)
configure_file(src/app/resources/varnoll.rc.in ${CMAKE_CURRENT_BINARY_DIR}/varnoll.rc @ONLY)

add_executable(varnoll WIN32
  src/app/main_win.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/varnoll.rc)
set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/varnoll.rc APPEND PROPERTY OBJECT_DEPENDS ${VARNOLL_MANIFEST})
set_target_properties(varnoll PROPERTIES
  OUTPUT_NAME ${VARNOLL_EXE_NAME}
  RUNTIME_OUTPUT_DIRECTORY ${VARNOLL_DIST_DIR})
# setupapi.dll exports the CM_* names too: cfgmgr32 comes first so that they
# bind to cfgmgr32.dll, where they belong.
target_link_libraries(varnoll PRIVATE varnoll_core newdev cfgmgr32 setupapi)
# Imports resolve from System32 only (DependentLoadFlags). MSVC's linker sets
# the flag itself, and its runtime brings the load configuration; with MinGW
# the program provides the structure and lld keeps it.
# The image checksum is set, as for a release build of MSVC's linker
# (/RELEASE); lld leaves it 0. Signing updates it, and removing the signature
# then gives back this very file.
if(MSVC)
  target_link_options(varnoll PRIVATE /DEPENDENTLOADFLAG:0x800 /MANIFEST:NO /RELEASE)
  set_property(TARGET varnoll PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
else()
  target_sources(varnoll PRIVATE src/app/load_config_win.cpp)
  # Static runtimes (the toolchain file asks for them too); no symbols.
  target_link_options(varnoll PRIVATE -static $<$<CONFIG:Release,MinSizeRel>:-s>)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_custom_command(TARGET varnoll POST_BUILD
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/pe_checksum.py $<TARGET_FILE:varnoll>)
  # Zig's driver ignores -mwindows, which CMake passes for WIN32 programs.
  if(VARNOLL_ZIG_TOOLCHAIN)
    target_link_options(varnoll PRIVATE -Wl,--subsystem,windows)
  endif()
endif()

# The release package, made from the x64 build once the x86 and ARM64 builds
# have put theirs beside varnoll64.exe: cpack --config build/win64/CPackConfig.cmake
if(VARNOLL_EXE_NAME STREQUAL varnoll64)
  configure_file(packaging/ADMIN-GUIDE.txt ${CMAKE_CURRENT_BINARY_DIR}/ADMIN-GUIDE.txt @ONLY)
  install(TARGETS varnoll RUNTIME DESTINATION .)
  install(PROGRAMS ${VARNOLL_DIST_DIR}/varnoll.exe ${VARNOLL_DIST_DIR}/varnollarm64.exe DESTINATION .)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ADMIN-GUIDE.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME varnoll)
  set(CPACK_PACKAGE_FILE_NAME varnoll-${PROJECT_VERSION}-windows)
  set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/build/package)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
endif()
