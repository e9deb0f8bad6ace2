#!/usr/bin/env bash
# Checks the Debian package `make package` built: unpacked into a temporary root, its desktop entry
# and its metadata validate, its program reports the version, and a start of that program writes
# its working files into a private data folder and nothing under the unpacked root, even as root.
#   BUILD  the build folder holding pestrel_<version>_amd64.deb (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
deb=$BUILD/pestrel_${version}_amd64.deb
[ -f "$deb" ] || { echo "package-tests: $deb missing (make package)" >&2; exit 1; }
fail() { echo "package-tests: $*" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root=$tmp/root
dpkg-deb -x "$deb" "$root"
app=org.pestrel.Pestrel
desktop-file-validate "$root/usr/share/applications/$app.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" >/dev/null
for size in 16 24 32 48 64 128 256; do
    [ -s "$root/usr/share/icons/hicolor/${size}x${size}/apps/$app.png" ] || fail "no ${size}px icon"
done
for readme in Readme.txt Readme.en.txt; do
    [ -s "$root/usr/share/doc/pestrel/$readme" ] || fail "no $readme"
done
dpkg-deb -f "$deb" Depends | grep -q fonts-wqy-microhei || fail "no font dependency"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no library dependencies"
# Opened only when first needed, so shlibdeps cannot see them.
for late in libyara9 libssl3 liblnk1; do
    dpkg-deb -f "$deb" Depends | grep -qw "$late" || fail "no dependency on $late"
done

export QT_QPA_PLATFORM=offscreen XDG_DATA_HOME=$tmp/data
program=$root/usr/bin/pestrel
timeout 10 "$program" --version | grep -qF "$version" || fail "--version does not report $version"

touch "$tmp/before"
sleep 1 # modification times have at least one-second steps on some file systems
status=0
timeout 5 "$program" || status=$?
[ "$status" -eq 124 ] || fail "the program ended by itself (status $status)"
written=$(find "$root" -newer "$tmp/before")
[ -z "$written" ] || fail "written beside the installed program: $written"
for file in VirusList.txt Config.ini Readme.txt; do
    [ -e "$XDG_DATA_HOME/pestrel/$file" ] || fail "$file not in the data folder"
done
echo "package-tests: $(basename "$deb") passed"
