#!/usr/bin/env bash
# Takes the README's screenshot: builds the window program, starts it on a
# virtual X server with a temporary home directory, opens a validation file
# through File > Open exactly as a user would (mouse on the menu, the file
# name typed into the file dialog), and saves a picture of the window.
#
#   bash scripts/screenshot.sh [EXAMPLE.dat [OUTPUT.png]]
#
# Defaults: examples/plane.dat and docs/screenshot.png; the build directory
# is build/ unless BUILD_DIR names another. Needs xvfb, xdotool and
# imagemagick (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

example=${1:-examples/plane.dat}
output=${2:-docs/screenshot.png}

missing=()
for tool in xvfb-run:xvfb xdotool:xdotool import:imagemagick; do
    command -v "${tool%%:*}" >/dev/null 2>&1 || missing+=("${tool##*:}")
done
if ((${#missing[@]})); then
    echo "Missing: ${missing[*]}; install with: apt-get install ${missing[*]}" >&2
    exit 1
fi
if [ ! -f "$example" ]; then
    echo "No such validation file: $example" >&2
    exit 1
fi

build=${BUILD_DIR:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target tessaline --parallel "$(nproc)" >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.tessaline" "$(dirname "$output")"
# The file dialog starts in the example's directory (the File_Path setting),
# the window at its default place and size.
example_dir=$(cd "$(dirname "$example")" && pwd)
printf '[General]\nFile_Path=%s\n' "$example_dir" >"$home/.tessaline/tessaline_settings.ini"

export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export TESSALINE_PROGRAM=$(cd "$build" && pwd)/app/tessaline
export TESSALINE_EXAMPLE=$(basename "$example")
export TESSALINE_OUTPUT=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
    "$TESSALINE_PROGRAM" &
    program=$!
    trap "kill $program 2>/dev/null || true" EXIT

    window=$(xdotool search --sync --onlyvisible --name "^Tessaline - Version")
    sleep 1

    # File > Open: click "File" in the menu bar, then the first item.
    xdotool mousemove --window "$window" 18 10 click 1
    sleep 0.5
    xdotool key Down Return

    # The file dialog opens in the example directory; type the name.
    dialog=$(xdotool search --sync --onlyvisible --name "^Open Validation File")
    sleep 1
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 20 "$TESSALINE_EXAMPLE"
    xdotool key Return

    # Wait for the dialog to close and the program to be shown.
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "^Open Validation File" >/dev/null || break
        sleep 0.2
    done
    xdotool mousemove 1020 760
    sleep 1
    import -window "$window" "$TESSALINE_OUTPUT"
'
echo "Saved $output"
