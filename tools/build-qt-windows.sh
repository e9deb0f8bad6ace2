#!/usr/bin/env bash
# Builds the static Qt for Windows that the cross build links, from Debian's own qtbase source of
# the host's Qt version, with MinGW-w64 and the host's Qt tools. Prints the install folder.
#
# The source comes through apt's own client with a private configuration: a deb-src line in a
# sources file inside the work folder, its own lists, cache and state folders, so the machine's
# sources stay as they are, while apt still checks the archive's signature and the checksums.
# The install goes to a cache folder keyed by the source version and a hash of the options; a
# second run finds it there and only prints it.
#   QT_WINDOWS_WORK   work folder for the source and the build (default build/qt-windows)
#   QT_WINDOWS_CACHE  parent of the install folders (default ~/.cache/pestrel/qt-windows)
#   JOBS              parallel build jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
JOBS=${JOBS:-2}
work=$(realpath -m "${QT_WINDOWS_WORK:-build/qt-windows}")
cache=${QT_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pestrel/qt-windows}
toolchain=$root/cmake/mingw-w64.cmake
log() { echo "qt-windows: $*" >&2; }

# The host's tools (moc, rcc, uic) must be of the same version as the source they build with.
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
upstream=${version%%+*}

options=(
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DCMAKE_BUILD_TYPE=Release
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_png=OFF
    # Debian's source leaves out wintab.h.
    -DFEATURE_tabletevent=OFF
    # The Windows platform plugin of this version uses OpenGL types without a guard; the dynamic
    # desktop mode loads opengl32.dll only when a window asks for it.
    -DFEATURE_opengl=ON -DINPUT_opengl=desktop
)
key=$( (printf '%s\n' "${options[@]}"; x86_64-w64-mingw32-g++-posix --version | head -1) |
    sha256sum | cut -c1-12)
prefix=$cache/$version-$key
if [ -f "$prefix/.complete" ] && [ -f "$prefix/include/pestrel-jpeg/jpeglib.h" ]; then
    echo "$prefix"
    exit 0
fi

# The source, through apt with everything private to the work folder.
apt_dir=$work/apt
mkdir -p "$apt_dir"/{lists/partial,cache/archives/partial,state,etc/preferences.d,etc/sources.list.d}
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
cat >"$apt_dir/etc/sources.list" <<EOF
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $codename main
EOF
: >"$apt_dir/state/status"
apt_opts=(
    -o Dir::Etc::sourcelist="$apt_dir/etc/sources.list"
    -o Dir::Etc::sourceparts="$apt_dir/etc/sources.list.d"
    -o Dir::Etc::preferencesparts="$apt_dir/etc/preferences.d"
    -o Dir::State="$apt_dir/state" -o Dir::State::Lists="$apt_dir/lists"
    -o Dir::State::status="$apt_dir/state/status" -o Dir::Cache="$apt_dir/cache"
    -o APT::Sandbox::User="$(id -un)"
)
src=$work/src
if [ ! -f "$src/.unpacked-$version" ]; then
    log "fetching qt6-base $version"
    apt-get "${apt_opts[@]}" -q update >&2
    rm -rf "$work/download" "$src"
    mkdir -p "$work/download"
    (cd "$work/download" && apt-get "${apt_opts[@]}" -q --download-only source "qt6-base=$version" >&2)
    # apt checked the files against the archive's signed index; the uploader's own signature on
    # the .dsc needs a keyring this machine does not have.
    dpkg-source --no-check -x "$work/download"/qt6-base_"$version".dsc "$src" >&2
    touch "$src/.unpacked-$version"
fi

build=$work/build-$key
log "building $upstream for MinGW-w64 in $build"
cmake -G Ninja -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    "${options[@]}" >"$work/configure.log" 2>&1 ||
    { tail -40 "$work/configure.log" >&2; exit 1; }
cmake --build "$build" -j"$JOBS" >"$work/build.log" 2>&1 || { tail -40 "$work/build.log" >&2; exit 1; }
rm -rf "$prefix"
cmake --install "$build" >"$work/install.log" 2>&1 || { tail -40 "$work/install.log" >&2; exit 1; }
# The program decodes its pictures with the bundled libjpeg too (toolkit/Jpeg.cpp): the library's
# public headers go beside it.
mkdir -p "$prefix/include/pestrel-jpeg"
cp "$src"/src/3rdparty/libjpeg/src/{jpeglib,jconfig,jmorecfg,jerror}.h "$prefix/include/pestrel-jpeg/"
touch "$prefix/.complete"
echo "$prefix"
