# Helpers for the shipped Windows executables; the executables themselves
# are defined in the top-level CMakeLists.txt.

enable_language(RC)

set(VARNOLL_DIST_DIR "${PROJECT_SOURCE_DIR}/dist" CACHE PATH
  "Folder that receives the executables, laid out as they ship")

# The PE tools (the checksum step, the static checks) read images with
# Debian's python3-pefile, which only the system's interpreter sees; another
# python3 first on PATH (pyenv, a virtual environment) would not.
if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "Python with pefile, for the PE tools")
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
execute_process(COMMAND ${Python3_EXECUTABLE} -c "import pefile" RESULT_VARIABLE _pefile_status
                OUTPUT_QUIET ERROR_QUIET)
if(NOT _pefile_status EQUAL 0)
  message(FATAL_ERROR "${Python3_EXECUTABLE} cannot import pefile (scripts/ensure-tools.sh installs python3-pefile)")
endif()

# Sets each build's names in the caller's scope: varnoll.exe (x86),
# varnoll64.exe, varnollarm64.exe, and the check tool's beside them.
macro(varnoll_build_names)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL ARM64)
    set(VARNOLL_BUILD_SUFFIX arm64)
  elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VARNOLL_BUILD_SUFFIX 64)
  else()
    set(VARNOLL_BUILD_SUFFIX "")
  endif()
  set(VARNOLL_EXE_NAME varnoll${VARNOLL_BUILD_SUFFIX})
  set(VARNOLL_CHECK_EXE_NAME varnollcheck${VARNOLL_BUILD_SUFFIX})
  set(VARNOLL_REMOVE_EXE_NAME varnollremove${VARNOLL_BUILD_SUFFIX})
endmacro()

# A toolchain without a newdev import library names a dlltool machine, and
# the library is made here from the one export the program needs.
function(varnoll_newdev_import_library)
  if(NOT VARNOLL_DLLTOOL_MACHINE)
    return()
  endif()
  set(importlibs ${CMAKE_BINARY_DIR}/importlibs)
  file(MAKE_DIRECTORY ${importlibs})
  execute_process(
    COMMAND ${CMAKE_DLLTOOL} -m ${VARNOLL_DLLTOOL_MACHINE}
            -d ${PROJECT_SOURCE_DIR}/cmake/importlibs/newdev.def -l ${importlibs}/libnewdev.a
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CMAKE_DLLTOOL} could not make the newdev import library")
  endif()
  link_directories(${importlibs})
endfunction()

# varnoll_windows_program(TARGET NAME SUBSYSTEM MANIFEST DESCRIPTION SOURCES...):
# a shipped executable, named NAME.exe, in dist/: the manifest and the
# version resource (from the one version number of project()), static
# runtimes, imports resolved from System32 only (DependentLoadFlags), and
# the image checksum set.
function(varnoll_windows_program target name subsystem manifest description)
  set(VARNOLL_RC_NAME ${name})
  set(VARNOLL_RC_MANIFEST ${manifest})
  set(VARNOLL_RC_DESCRIPTION ${description})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/src/app/resources/varnoll.rc.in ${rc} @ONLY)
  if(subsystem STREQUAL gui)
    add_executable(${target} WIN32 ${ARGN} ${rc})
  else()
    add_executable(${target} ${ARGN} ${rc})
  endif()
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${manifest})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${VARNOLL_DIST_DIR})
  target_link_libraries(${target} PRIVATE varnoll_platform)
  # MSVC's linker sets DependentLoadFlags itself, and its runtime brings the
  # load configuration; with MinGW the program provides the structure and
  # lld keeps it. The image checksum is what a release link of MSVC's
  # (/RELEASE) writes and lld leaves 0: signing updates it, and removing the
  # signature then gives back this very file.
  if(MSVC)
    target_link_options(${target} PRIVATE /DEPENDENTLOADFLAG:0x800 /MANIFEST:NO /RELEASE)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  else()
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/platform/win32/load_config_win.cpp)
    # Static runtimes (the toolchain file asks for them too); no symbols.
    target_link_options(${target} PRIVATE -static $<$<CONFIG:Release,MinSizeRel>:-s>)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/pe_checksum.py $<TARGET_FILE:${target}>)
    # Zig's driver ignores -mwindows and -mconsole, which CMake passes.
    if(VARNOLL_ZIG_TOOLCHAIN)
      if(subsystem STREQUAL gui)
        target_link_options(${target} PRIVATE -Wl,--subsystem,windows)
      else()
        target_link_options(${target} PRIVATE -Wl,--subsystem,console)
      endif()
    endif()
  endif()
endfunction()
