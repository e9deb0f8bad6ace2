#!/usr/bin/env bash
# The accessibility test: the program under Xvfb on a private D-Bus session with the AT-SPI bus,
# walked and driven by walk.py as a screen reader would.
#   run.sh PESTREL GALLERY HELPER
set -euo pipefail
pestrel=$1 gallery=$2 helper=$3
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${PESTREL_IN_SESSION:-}" ]; then
    export PESTREL_IN_SESSION=1
    exec xvfb-run -a dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0 LANG=C
mkdir -m 0700 "$work/runtime"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)
sleep 1

# A program on the list, running, for the kill button to end.
mkdir -p "$work/app" "$work/run"
cp "$pestrel" "$work/app/pestrel"
cp "$helper" "$work/run/atspi-evil.exe"
printf 'atspi-evil.exe\r\n' >"$work/app/VirusList.txt"
"$work/run/atspi-evil.exe" &
evil=$!
pids+=($evil)

"$work/app/pestrel" &
pids+=($!)
/usr/bin/python3 "$here/walk.py" pestrel --press "杀毒"
for _ in $(seq 100); do
    kill -0 "$evil" 2>/dev/null || [ -e "$work/run/atspi-evil.exe" ] || break
    sleep 0.1
done
if kill -0 "$evil" 2>/dev/null || [ -e "$work/run/atspi-evil.exe" ]; then
    echo "the kill pass did not end and delete atspi-evil.exe"
    exit 1
fi
echo "the pass ended and deleted atspi-evil.exe"

for page in pagePanels pageLists pageChecks; do
    "$gallery" --page "$page" >/dev/null &
    gallery_pid=$!
    pids+=($gallery_pid)
    /usr/bin/python3 "$here/walk.py" pestrel-gallery --slide
    kill "$gallery_pid"
    wait "$gallery_pid" 2>/dev/null || true
done
