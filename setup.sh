#!/usr/bin/env bash
# Installs what is missing on Debian or Ubuntu, builds Tessaline, then starts
# the program (bash setup.sh run) or runs the whole test suite (bash setup.sh test).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

mode=${1:-run}
case $mode in
    run | test) ;;
    *)
        echo "usage: bash setup.sh run|test" >&2
        exit 2
        ;;
esac

packages=(build-essential cmake qtbase5-dev qtbase5-dev-tools libeigen3-dev fonts-dejavu-core desktop-file-utils appstream)
# The package checks of the test suite run Debian's lintian.
if [ "$mode" = test ]; then
    packages+=(lintian)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if ((${#missing[@]})); then
    sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"

if [ "$mode" = test ]; then
    cd build
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
    exit
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open."
    echo "Start it from a desktop session, or under a virtual X server:"
    echo "    xvfb-run -a build/app/tessaline"
    exit 1
fi
exec build/app/tessaline
