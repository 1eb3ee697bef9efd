# Cross toolchain for the shipped 32-bit DLL and its test lane.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VORDA_MINGW_TRIPLE i686-w64-mingw32)
set(VORDA_WINE_LANE 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Double arithmetic in SSE2 registers, as in the 64-bit build, so both
# round alike (x87's 80-bit intermediates would not); the test programs
# are built with the same flags, so that the doubles they expect are
# computed as the DLL computes them. Hosts may call with a stack aligned
# to 4 bytes only: let the compiler realign where it needs more.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
