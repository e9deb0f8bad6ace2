#!/usr/bin/env bash
# Cross-builds Pestrel for 64-bit Windows with MinGW-w64 against the project's static Qt for
# Windows (tools/build-qt-windows.sh, built on first use), in $BUILD/windows. Builds the targets
# given, or the program, its console twin, the gallery and the setup.
#   BUILD  the Linux build folder (default build)
#   JOBS   parallel build jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
JOBS=${JOBS:-2}
CROSS=$PWD/$BUILD/windows
qt=$(JOBS=$JOBS tools/build-qt-windows.sh)

# -O2 without debug information: GCC 12 warns falsely at -O3 inside libstdc++, and objects
# without it are the same in every build folder, so ccache shares them with tools/wine-tests.sh.
cmake -G Ninja -S . -B "$CROSS" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DPESTREL_QT_WINDOWS="$qt" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DJPEG_INCLUDE_DIR="$qt/include/pestrel-jpeg" -DJPEG_LIBRARY="$qt/lib/libQt6BundledLibjpeg.a" \
    >"$CROSS.configure.log" 2>&1 || { tail -30 "$CROSS.configure.log" >&2; exit 1; }
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(pestrel pestrel_console pestrel-gallery installer)
cmake --build "$CROSS" -j"$JOBS" --target "${targets[@]}"
