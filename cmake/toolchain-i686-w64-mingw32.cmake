# Cross-builds Windows programs with mingw-w64 for the triplet below.
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-toolchain.cmake")
