#!/usr/bin/env bash
# Cross-builds the engine, the Windows backend and their tests with MinGW-w64 and runs the tests
# under Wine, in a prefix made afresh inside the build folder. Fails when a test fails or when the
# engine tests ran a different number of tests under Wine than on Linux.
#   BUILD  the Linux build folder (default build); the Windows build goes to $BUILD/win32
#   JOBS   parallel build jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
JOBS=${JOBS:-2}
CROSS=$PWD/$BUILD/win32
LINUX_ENGINE_TESTS=$BUILD/tests/engine/engine_tests

# Debian's wine64 package alone (without its recommended wrapper package) has no wine64 on PATH.
WINE=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
[ -x "$WINE" ] || { echo "wine-tests: $WINE not found (Debian package wine64)" >&2; exit 1; }
[ -x "$LINUX_ENGINE_TESTS" ] || { echo "wine-tests: build $LINUX_ENGINE_TESTS first" >&2; exit 1; }

# -O2 without debug information (see tools/build-windows.sh); warnings fail the build, as on Linux.
cmake -S . -B "$CROSS" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DPESTREL_WITH_QT=OFF \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DPESTREL_WERROR=ON >/dev/null
cmake --build "$CROSS" -j"$JOBS" --target engine_tests win32_tests
# The Windows-only sources that use Qt, compiled against the host's Qt headers for their syntax
# (the whole program against the Qt for Windows is tools/wine-window-tests.sh).
qt=$(pkg-config --variable=includedir Qt6Core)
for source in app/RunGuardWin32.cpp app/GuardService.cpp app/StandInFace.cpp app/main.cpp \
    tests/windows/WindowProbeMain.cpp; do
    x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I. \
        -DQT_STATIC -DQT_GUI_LIB -DQT_WIDGETS_LIB -DWIN32_LEAN_AND_MEAN -DNOMINMAX \
        -DPESTREL_VERSION='"0"' -I"$qt" -I"$qt/QtCore" -I"$qt/QtGui" -I"$qt/QtWidgets" \
        -I"$qt/QtTest" "$source"
done

# No Mono or Gecko installer, no debug chatter, no display.
export WINEPREFIX=$CROSS/wineprefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
logs=$CROSS/test-logs
mkdir -p "$logs"

# The count from gtest's closing line "[==========] N tests from M test suites ran.".
tests_run() { sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' "$1" | tail -1; }

started=$(date +%s.%N)
rm -rf "$WINEPREFIX"
"$WINE" wineboot --init >"$logs/wineboot.log" 2>&1 || { cat "$logs/wineboot.log"; exit 1; }
# Windows need a graphics driver; the null driver makes them without a display. The desktop
# process that wineboot started knows none, so the prefix's server restarts with the new setting.
"$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$logs/wineboot.log" 2>&1
"$WINESERVER" -k || true

failed=0
for program in engine_tests win32_tests; do
    # A hang must end as a failure, not as a stalled run.
    if timeout 600 "$WINE" "$CROSS/tests/bin/$program.exe" >"$logs/$program.log" 2>&1; then
        echo "wine: $program passed ($(tests_run "$logs/$program.log") tests)"
    else
        cat "$logs/$program.log"
        echo "wine: $program FAILED" >&2
        failed=1
    fi
done
"$WINESERVER" -k 2>/dev/null || true
finished=$(date +%s.%N)
awk -v s="$started" -v f="$finished" \
    'BEGIN { printf "time under Wine, prefix creation included: %.1f s (limit 180 s)\n", f - s }'

"$LINUX_ENGINE_TESTS" --gtest_brief=1 >"$logs/engine_tests-linux.log" 2>&1 || failed=1
linux=$(tests_run "$logs/engine_tests-linux.log")
wine=$(tests_run "$logs/engine_tests.log")
echo "engine tests: linux ${linux:-0}, wine ${wine:-0}"
if [ "${linux:-0}" != "${wine:-0}" ] || [ -z "$linux" ]; then
    echo "wine-tests: the engine test counts differ" >&2
    failed=1
fi
exit $failed
