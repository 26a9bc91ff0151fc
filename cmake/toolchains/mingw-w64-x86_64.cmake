# Cross-builds the plug-in for 64-bit Windows with Debian's mingw-w64 compilers (the posix
# thread model: the framework needs std::thread). Use: cmake -DCMAKE_TOOLCHAIN_FILE=<this file>
set(CORVADEL_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCommon.cmake)
