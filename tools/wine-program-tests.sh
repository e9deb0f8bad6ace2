#!/usr/bin/env bash
# The Windows program under Wine as a user meets it (tests/windows/program_under_wine.py): its
# command line through cmd.exe, its window on an X server of xvfb-run, and its setup in a new
# prefix. Needs the Windows build of tools/wine-tests.sh and the Linux build.
#   BUILD  the Linux build folder (default build); the Windows build is $BUILD/windows
#   SHOTS  where the window's pages go as windows-<page>.png (default: the work folder;
#          docs/screenshots renews the README's pictures)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
CROSS=$PWD/$BUILD/windows
for file in pestrel.exe pestrel.com pestrel-setup.exe tests/bin/pestrel_test_helper.exe \
    tests/bin/pestrel_window_probe.exe; do
    [ -f "$CROSS/$file" ] || { echo "wine-program-tests: build $CROSS/$file first" >&2; exit 1; }
done
work=$CROSS/program-tests
rm -rf "$work"
mkdir -p "$work"
shots=()
[ -n "${SHOTS:-}" ] && shots=("$(realpath "$SHOTS")")
xvfb-run -a -s "-screen 0 1280x1024x24" \
    python3 tests/windows/program_under_wine.py "$PWD/$BUILD" "$CROSS" "$work" "${shots[@]}"
