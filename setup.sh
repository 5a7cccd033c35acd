#!/usr/bin/env bash
# Installs what is missing on Debian or Ubuntu, builds Tessaline, then starts
# the program (bash setup.sh run) or builds everything and runs the whole test
# suite (bash setup.sh test).
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

# Said first, before anything is installed or built: without a display the
# window cannot open here, and the virtual X server it can open under is
# installed along with the rest.
display=yes
if [ "$mode" = run ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    display=no
    echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open."
    echo "Building it, and installing xvfb and xauth, to start it under a virtual X server."
fi

packages=(build-essential cmake qtbase5-dev qtbase5-dev-tools libeigen3-dev fonts-dejavu-core desktop-file-utils appstream)
if [ "$mode" = test ]; then
    # The package checks run Debian's lintian; the install checks render the
    # manual pages with man and check XML with xmllint, as do the QIF checks.
    packages+=(lintian man-db libxml2-utils)
fi
if [ "$display" = no ]; then
    packages+=(xvfb xauth)
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

if [ "$mode" = test ]; then
    cmake --build build --parallel "$(nproc)"
    cd build
    status=0
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" || status=$?
    # A case that skips passes in ctest's count: each is named here, so that
    # "100% tests passed" never hides a check that did not run.
    log=Testing/Temporary/LastTest.log
    skips=()
    if [ -f "$log" ]; then
        while IFS= read -r line; do
            skips+=("$line")
        done < <(grep -E '^(SKIP   :|skip: )' "$log" | sed -E 's/^SKIP   : //; s/^skip: //' | sort -u)
    fi
    if ((${#skips[@]})); then
        echo "setup.sh test: ${#skips[@]} checks skipped:"
        printf '    %s\n' "${skips[@]}"
    else
        echo "setup.sh test: no check skipped"
    fi
    exit $status
fi

# The window alone: the tests, benchmarks and fuzz targets are for setup.sh test.
cmake --build build --parallel "$(nproc)" --target tessaline

if [ "$display" = no ]; then
    echo "No display found, so the window cannot open. Start it from a desktop session, or under"
    echo "a virtual X server:"
    echo "    xvfb-run -a build/app/tessaline"
    exit 1
fi
exec build/app/tessaline
