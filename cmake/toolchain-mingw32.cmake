# The shipping build: 32-bit Windows programs and DLLs. Its test programs run
# under Debian's 32-bit Wine (wine32:i386), through the same wrapper as win64's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# SSE2 arithmetic for every target of this build (programs, RX3, the stand-in
# DLLs, the tools, GoogleTest): the x87 unit's default computes floats and
# doubles in 80-bit registers and rounds them only when it spills, so a
# product such as millimetres times dots per millimetre can land just below a
# whole number here and exactly on it on the 64-bit build, and truncate one
# dot lower. With scalar SSE2 every float and double operation rounds as the
# 64-bit build's does, so both builds write the same bytes. Every processor
# the printers' PCs run has SSE2. (MinGW's GCC realigns the stack of every
# function that needs it once SSE is on, so callbacks from Windows are safe.)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# Every program may address 4 GB on 64-bit Windows (3 GB with /3GB on 32-bit
# Windows) instead of 2 GB: a large photograph made into a job, or a proof of
# a wide page, needs more than 2 GB of address space long before the
# machine's memory runs out.
# (The flag means something only in a program; DLLs get it so that no link
# of this build is left out.)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--large-address-aware")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--large-address-aware")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-Wl,--large-address-aware")

# Test programs run under Wine; the wrapper picks the 32-bit loader for a
# 32-bit program and fails, naming the reason, where this machine runs no
# 32-bit code.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run --test)
