# Cross build for 64-bit Windows with MinGW-w64 (the -posix compiler, whose std::thread and
# std::mutex work). Executables are linked statically so they run under Wine without extra DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# PESTREL_QT_WINDOWS: the static Qt for Windows of tools/build-qt-windows.sh, searched like the
# MinGW-w64 system folder when given.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET} ${PESTREL_QT_WINDOWS})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PESTREL_QT_WINDOWS)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables cannot run on the build machine: list their tests when they run, not when
# they are built.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
