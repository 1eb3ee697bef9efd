# The mingw-w64 cross toolchain of one lane; the lane's toolchain file sets
# VORDA_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32) and
# VORDA_WINE_LANE (32 or 64) before including this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VORDA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORDA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VORDA_MINGW_TRIPLE}-windres)
set(CMAKE_DLLTOOL ${VORDA_MINGW_TRIPLE}-dlltool)
set(CMAKE_FIND_ROOT_PATH /usr/${VORDA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test programs, benchmarks and tools run through the lane's Wine with the
# build tree's private prefix; see wine-run.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${VORDA_WINE_LANE})
