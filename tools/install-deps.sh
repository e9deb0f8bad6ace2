#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those already present.
set -euo pipefail
packages=(
    cmake g++ make pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-l10n-tools libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libjpeg62-turbo-dev libssl-dev libyara-dev yara clamav-testfiles liblnk-dev libbfio-dev
    fonts-wqy-microhei fonts-dejavu-core xvfb xauth dbus at-spi2-core python3-pyatspi
    g++-mingw-w64-x86-64-posix wine64 ninja-build nsis
    clang libclang-rt-14-dev
    dpkg-dev desktop-file-utils appstream systemd cron
    ansible-core python3-apt openssh-server openssh-client iproute2
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q || true
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
