# Shared build rules. Every source of ours compiles with these.
#
# File-name convention, so that modules need no per-file lists:
#   *_win32.cpp  Windows only (windows, dialogs, DLL entry points, Win32 services)
#   *_posix.cpp  native only
#   everything else builds for all three presets.

set(VLX_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)

if(WIN32)
  set(VLX_WINDOWS ON)
else()
  set(VLX_WINDOWS OFF)
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VLX_32BIT ON)
else()
  set(VLX_32BIT OFF)
endif()

# ccache when present: the presets and several checkouts of the tree share one
# cache (paths are hashed relative to the source folder).
find_program(VLX_CCACHE ccache)
if(VLX_CCACHE)
  get_filename_component(vlx_root_abs ${VLX_ROOT} ABSOLUTE)
  set(vlx_launcher env CCACHE_BASEDIR=${vlx_root_abs} CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=time_macros ${VLX_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${vlx_launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${vlx_launcher})
endif()

add_library(vlx_options INTERFACE)
target_compile_options(vlx_options INTERFACE
  -Wall -Wextra -Werror -Wno-missing-field-initializers -finput-charset=UTF-8)
# Clang has no other execution character set than UTF-8: its builds (the
# fuzz preset only) keep the literals as they are in the source.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  target_compile_options(vlx_options INTERFACE -fexec-charset=CP932)
endif()
# GCC 12 reports a false -Wrestrict inside std::string at -O2 and above (GCC bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(vlx_options INTERFACE -Wno-restrict)
endif()
target_include_directories(vlx_options INTERFACE ${VLX_ROOT} ${VLX_ROOT}/interfaces)
if(VLX_WINDOWS)
  target_compile_definitions(vlx_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

# Static runtime on Windows: every program and DLL runs from a bare folder.
if(VLX_WINDOWS)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# The fuzz preset: clang's libFuzzer with ASan and UBSan. Everything is
# instrumented for coverage; only the harnesses link the fuzzer's main.
option(VLX_FUZZ "Build the libFuzzer harnesses (clang)" OFF)
if(VLX_FUZZ AND NOT VLX_WINDOWS)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

option(VLX_SANITIZE "Build with ASan and UBSan" OFF)
if(VLX_SANITIZE AND NOT VLX_WINDOWS)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Sources of a folder for the current target kind.
function(vlx_sources out dir)
  file(GLOB all CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  set(kept)
  foreach(f ${all})
    get_filename_component(n ${f} NAME_WE)
    if(n MATCHES "_win32$" AND NOT VLX_WINDOWS)
      continue()
    endif()
    if(n MATCHES "_posix$" AND VLX_WINDOWS)
      continue()
    endif()
    if(n MATCHES "_test$")
      continue()
    endif()
    list(APPEND kept ${f})
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# A static library made of one folder's sources.
function(vlx_static_library name dir)
  vlx_sources(src ${dir})
  if(NOT src)
    message(STATUS "${name}: no sources yet")
    return()
  endif()
  add_library(${name} STATIC ${src})
  target_link_libraries(${name} PUBLIC vlx_options ${ARGN})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# One test program per module: every *_test.cpp of the folder (and the
# *_win32_test.cpp ones on Windows) linked with GoogleTest.
function(vlx_test_program name dir)
  file(GLOB all CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  set(src)
  foreach(f ${all})
    get_filename_component(n ${f} NAME_WE)
    if(n MATCHES "_win32_test$" AND NOT VLX_WINDOWS)
      continue()
    endif()
    if(n MATCHES "_posix_test$" AND VLX_WINDOWS)
      continue()
    endif()
    list(APPEND src ${f})
  endforeach()
  if(NOT src)
    return()
  endif()
  file(GLOB helpers CONFIGURE_DEPENDS ${dir}/*_fake.cpp ${dir}/*_support.cpp)
  add_executable(${name} ${src} ${helpers})
  target_link_libraries(${name} PRIVATE vlx_options gmock gtest_main ${ARGN})
  target_include_directories(${name} PRIVATE ${dir} ${VLX_ROOT}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "VLX_TEST_OUTPUT=${CMAKE_BINARY_DIR}/test-output;VLX_BUILD_DIR=${CMAKE_BINARY_DIR}"
    TIMEOUT 300)
endfunction()

# Splits a folder's sources into the portable core and the Win32 shell
# (*_win32.cpp); on the native build the shell list is empty.
function(vlx_split_sources core_out shell_out dir)
  vlx_sources(src ${dir})
  set(core)
  set(shell)
  foreach(f ${src})
    get_filename_component(n ${f} NAME_WE)
    if(n MATCHES "_win32$")
      list(APPEND shell ${f})
    else()
      list(APPEND core ${f})
    endif()
  endforeach()
  set(${core_out} ${core} PARENT_SCOPE)
  set(${shell_out} ${shell} PARENT_SCOPE)
endfunction()

# One stand-in library: one folder, one DLL (shared object natively), built
# with <DEFINE> so that its header exports rather than imports.
function(vlx_library name dir define)
  vlx_sources(src ${dir})
  if(NOT src)
    message(STATUS "${name}: no sources yet")
    return()
  endif()
  add_library(${name} SHARED ${src})
  target_compile_definitions(${name} PRIVATE ${define})
  target_link_libraries(${name} PRIVATE vlx_options vlx_platform ${ARGN})
  target_include_directories(${name} INTERFACE ${VLX_ROOT}/interfaces)
  set_target_properties(${name} PROPERTIES PREFIX "" IMPORT_PREFIX "")
endfunction()

# windres reports no dependencies: a resource script is rebuilt only when it
# changes itself, not when a dialog template, header or bitmap it includes
# does. Every .rc source of every target is made to depend on the files of
# its own folder (and its artwork sub-folder). Called once, at the end of the
# top-level CMakeLists.txt.
function(vlx_collect_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    vlx_collect_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(vlx_track_resource_includes)
  if(NOT VLX_WINDOWS)
    return()
  endif()
  vlx_collect_targets(${CMAKE_SOURCE_DIR} targets)
  foreach(t ${targets})
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      continue()
    endif()
    get_target_property(sources ${t} SOURCES)
    get_target_property(source_dir ${t} SOURCE_DIR)
    foreach(s ${sources})
      if(NOT s MATCHES "\\.rc$")
        continue()
      endif()
      get_filename_component(rc ${s} ABSOLUTE BASE_DIR ${source_dir})
      get_filename_component(rc_dir ${rc} DIRECTORY)
      file(GLOB_RECURSE included CONFIGURE_DEPENDS ${rc_dir}/*.rc ${rc_dir}/*.h ${rc_dir}/*.bmp ${rc_dir}/*.ico
           ${rc_dir}/*.cur)
      list(REMOVE_ITEM included ${rc})
      set_source_files_properties(${s} TARGET_DIRECTORY ${t} PROPERTIES OBJECT_DEPENDS "${included}")
    endforeach()
  endforeach()
endfunction()
