# LittleCMS 2, the colour engine of the Device library and of the profile
# writer, as the target vlx_lcms2.
#
# Natively it is Debian's liblcms2-dev. The Windows builds compile Debian's
# lcms2 source package, which scripts/setup fetches and unpacks outside git
# (VLX_LCMS2_SOURCE), into a static library of their own per preset.
set(VLX_LCMS2_SOURCE ${VLX_ROOT}/build/third_party/lcms2
    CACHE PATH "Unpacked lcms2 source package for the Windows builds (scripts/setup fetches it)")

if(NOT VLX_WINDOWS)
  find_path(VLX_LCMS2_INCLUDE lcms2.h)
  find_library(VLX_LCMS2_LIBRARY lcms2)
  if(NOT VLX_LCMS2_INCLUDE OR NOT VLX_LCMS2_LIBRARY)
    message(FATAL_ERROR "LittleCMS 2 is missing: install liblcms2-dev (scripts/setup does)")
  endif()
  add_library(vlx_lcms2 INTERFACE)
  target_include_directories(vlx_lcms2 SYSTEM INTERFACE ${VLX_LCMS2_INCLUDE})
  target_link_libraries(vlx_lcms2 INTERFACE ${VLX_LCMS2_LIBRARY})
  return()
endif()

file(GLOB vlx_lcms2_sources ${VLX_LCMS2_SOURCE}/src/*.c)
if(NOT EXISTS ${VLX_LCMS2_SOURCE}/include/lcms2.h OR NOT vlx_lcms2_sources)
  message(FATAL_ERROR "The lcms2 source package is missing from ${VLX_LCMS2_SOURCE}: run scripts/setup, which "
                      "fetches it with apt, or set VLX_LCMS2_SOURCE to an unpacked lcms2 source tree")
endif()
add_library(vlx_lcms2 STATIC ${vlx_lcms2_sources})
# Its own code, compiled as its makers wrote it: none of our warnings apply.
target_compile_options(vlx_lcms2 PRIVATE -w)
target_include_directories(vlx_lcms2 SYSTEM PUBLIC ${VLX_LCMS2_SOURCE}/include)
target_include_directories(vlx_lcms2 PRIVATE ${VLX_LCMS2_SOURCE}/src)
set_target_properties(vlx_lcms2 PROPERTIES POSITION_INDEPENDENT_CODE ON)
