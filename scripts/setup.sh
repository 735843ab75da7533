#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root or through sudo), then configures and
# builds Diridu with the demo installation in build/zorlane/.
set -euo pipefail
cd "$(dirname "$0")/.."

# libqt6opengl6-dev: Qt Charts' CMake package needs Qt6OpenGL, which qt6-charts-dev does not
# pull in.
packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-image-formats-plugins libgl-dev libtiff-dev libcups2-dev
          cups cups-client fonts-liberation xvfb xauth
          # the icon's PNG sizes, the checks of the desktop files, the Debian package and
          # its smoke run (gio starts the menu entry as a file manager does)
          librsvg2-bin desktop-file-utils appstream dpkg-dev libglib2.0-bin
          # the user guide opens in the desktop's PDF viewer; these give a bare machine one
          xdg-utils mupdf
          # the fuzz targets (scripts/fuzz-smoke.sh): clang and libFuzzer
          clang libclang-rt-14-dev)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

preset="${DIRIDU_PRESET:-dev}"
cmake --preset "$preset" ${DIRIDU_CMAKE_ARGS:-} >/dev/null
cmake --build --preset "$preset"
