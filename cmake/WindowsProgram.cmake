# The shipped executables: the installer (GUI subsystem, the
# device-installation calls bound at load time, each from its own DLL) and
# the check tool, both with static runtimes.

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

# Each build's names: varnoll.exe (x86), varnoll64.exe, varnollarm64.exe, and
# the check tool's beside them.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL ARM64)
  set(VARNOLL_BUILD_SUFFIX arm64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VARNOLL_BUILD_SUFFIX 64)
else()
  set(VARNOLL_BUILD_SUFFIX "")
endif()
set(VARNOLL_EXE_NAME varnoll${VARNOLL_BUILD_SUFFIX})
set(VARNOLL_CHECK_EXE_NAME varnollcheck${VARNOLL_BUILD_SUFFIX})

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

find_package(Python3 REQUIRED COMPONENTS Interpreter)

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
  # MSVC's linker sets DependentLoadFlags itself, and its runtime brings the
  # load configuration; with MinGW the program provides the structure and
  # lld keeps it. The image checksum is what a release link of MSVC's
  # (/RELEASE) writes and lld leaves 0: signing updates it, and removing the
  # signature then gives back this very file.
  if(MSVC)
    target_link_options(${target} PRIVATE /DEPENDENTLOADFLAG:0x800 /MANIFEST:NO /RELEASE)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  else()
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/app/load_config_win.cpp)
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

# The installer: administrator rights, Windows 7 and later, no window.
varnoll_windows_program(varnoll ${VARNOLL_EXE_NAME} gui
  ${PROJECT_SOURCE_DIR}/src/app/resources/varnoll.manifest
  "Varnoll unattended modem driver installer"
  src/app/main_win.cpp)
# setupapi.dll exports the CM_* names too: cfgmgr32 comes first so that they
# bind to cfgmgr32.dll, where they belong.
target_link_libraries(varnoll PRIVATE varnoll_core newdev cfgmgr32 setupapi)

# The check tool: a console program that needs no rights and changes
# nothing; it reads devices through the Setup API and the registry.
varnoll_windows_program(varnollcheck ${VARNOLL_CHECK_EXE_NAME} console
  ${PROJECT_SOURCE_DIR}/src/check/resources/varnollcheck.manifest
  "Varnoll check tool: what the installer would do"
  src/check/win32/main_win.cpp)
target_link_libraries(varnollcheck PRIVATE varnoll_check setupapi advapi32)

# The release package, made from the x64 build once the x86 and ARM64 builds
# have put theirs beside varnoll64.exe: cpack --config build/win64/CPackConfig.cmake
if(VARNOLL_EXE_NAME STREQUAL varnoll64)
  configure_file(packaging/ADMIN-GUIDE.txt ${CMAKE_CURRENT_BINARY_DIR}/ADMIN-GUIDE.txt @ONLY)
  install(TARGETS varnoll varnollcheck RUNTIME DESTINATION .)
  install(PROGRAMS ${VARNOLL_DIST_DIR}/varnoll.exe ${VARNOLL_DIST_DIR}/varnollarm64.exe
                   ${VARNOLL_DIST_DIR}/varnollcheck.exe ${VARNOLL_DIST_DIR}/varnollcheckarm64.exe
          DESTINATION .)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ADMIN-GUIDE.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME varnoll)
  set(CPACK_PACKAGE_FILE_NAME varnoll-${PROJECT_VERSION}-windows)
  set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/build/package)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
endif()
