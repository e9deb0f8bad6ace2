#!/usr/bin/env bash
# Cross-builds Pestrel and its tests for Windows (tools/build-windows.sh, against the project's
# static Qt for Windows) and runs them under Wine, in a prefix made afresh inside the build folder:
# the engine and backend tests, and the toolkit, skin, window and gallery tests with Qt's
# offscreen platform. Fails when a test fails or when a test program ran a different number of
# tests under Wine than it lists on Linux (less the tests named below as impossible under Wine).
# Then the program itself: tools/wine-program-tests.sh.
#   BUILD  the Linux build folder (default build); the Windows build goes to $BUILD/windows
#   JOBS   parallel build jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
JOBS=${JOBS:-2}
CROSS=$PWD/$BUILD/windows

# Debian's wine64 package alone (without its recommended wrapper package) has no wine64 on PATH.
WINE=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
[ -x "$WINE" ] || { echo "wine-tests: $WINE not found (Debian package wine64)" >&2; exit 1; }

# Each test program under Wine, and its Linux twin whose list of tests it must run.
declare -A linux_twin=(
    [engine_tests]=$BUILD/tests/engine/engine_tests
    [toolkit_tests]=$BUILD/tests/toolkit/toolkit_tests
    [skin_tests]=$BUILD/tests/skin/skin_tests
    [ui_tests]=$BUILD/tests/ui/ui_tests
    [gallery_tests]=$BUILD/tests/gallery/gallery_tests
)
programs=(engine_tests win32_tests toolkit_tests skin_tests ui_tests gallery_tests)
# The tests that cannot run under Wine, each with its reason; they are left out there.
declare -A impossible=(
    [ui_tests.WindowSafetyTest.AsRootOverAFolderOthersCanWriteItSaysWhyAndTouchesNothing]="Windows has no root; its system guards the folders itself, so the Windows backend refuses none (not built there)"
    [ui_tests.KillPassTest.TheRulesBesideTheListRemoveAMatchingFileAndTheStatusTextSaysSo]="rules are not built for Windows: no rules engine source is served for the cross build, and the program says so"
    [ui_tests.KillPassTest.AWorkerThatCannotStartLeavesTheRepairsDoneAndTheButtonEnabled]="Windows rounds any stack size up to its least, so a worker that cannot start cannot be made this way"
    [ui_tests.KillPassTest.ALongPassLeavesTheWindowRunningAndTheMarkerReachesTheTop]="under Wine a name's turn, with its fresh process snapshot, takes about 0.07 s (each call a round trip to Wine's server), so 3,000 names take over three minutes"
    [ui_tests.UnwritableFolderTest.WindowWorksAndTheStoredListIsKept]="Wine keeps no access rules on folders, so a folder the program cannot write cannot be made (not built there)"
)
for program in "${!linux_twin[@]}"; do
    [ -x "${linux_twin[$program]}" ] || { echo "wine-tests: build ${linux_twin[$program]} first" >&2; exit 1; }
done

BUILD=$BUILD JOBS=$JOBS tools/build-windows.sh "${programs[@]}" pestrel pestrel_console \
    pestrel-gallery pestrel_window_probe installer

# No Mono or Gecko installer, no debug chatter, no display.
export WINEPREFIX=$CROSS/wineprefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
logs=$CROSS/test-logs
mkdir -p "$logs"

# The count from gtest's closing line "[==========] N tests from M test suites ran.".
tests_run() { sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' "$1" | tail -1; }
# The count of tests a program lists (the lines of --gtest_list_tests that name a test).
tests_listed() { "$1" --gtest_list_tests | grep -c '^  '; }

started=$(date +%s.%N)
tools/wine-prefix.sh "$WINEPREFIX"

failed=0
for program in "${programs[@]}"; do
    filter=()
    for test in "${!impossible[@]}"; do
        [[ $test == "$program".* ]] && filter+=("${test#"$program".}")
    done
    args=(-platform offscreen)
    [ ${#filter[@]} -gt 0 ] && args+=("--gtest_filter=-$(IFS=:; echo "${filter[*]}")")
    # A hang must end as a failure, not as a stalled run.
    if timeout 900 "$WINE" "$CROSS/tests/bin/$program.exe" "${args[@]}" >"$logs/$program.log" 2>&1
    then
        echo "wine: $program passed ($(tests_run "$logs/$program.log") tests)"
    else
        cat "$logs/$program.log"
        echo "wine: $program FAILED" >&2
        failed=1
    fi
    [ -n "${linux_twin[$program]:-}" ] || continue
    linux=$(tests_listed "${linux_twin[$program]}")
    wine=$(tests_run "$logs/$program.log")
    expected=$((linux - ${#filter[@]}))
    echo "$program: linux lists $linux, wine ran ${wine:-0} (${#filter[@]} left out there)"
    if [ "$expected" != "${wine:-0}" ]; then
        echo "wine-tests: the $program counts differ" >&2
        failed=1
    fi
done
for test in "${!impossible[@]}"; do
    echo "left out under Wine: $test: ${impossible[$test]}"
done
"$WINESERVER" -k 2>/dev/null || true
finished=$(date +%s.%N)
awk -v s="$started" -v f="$finished" \
    'BEGIN { printf "time under Wine, prefix creation included: %.1f s\n", f - s }'

BUILD=$BUILD tools/wine-program-tests.sh || failed=1
exit $failed
