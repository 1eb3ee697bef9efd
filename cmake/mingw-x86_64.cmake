# Cross toolchain for the 64-bit lane.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VORDA_MINGW_TRIPLE x86_64-w64-mingw32)
set(VORDA_WINE_LANE 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
