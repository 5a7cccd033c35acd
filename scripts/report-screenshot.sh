#!/usr/bin/env bash
# Takes a picture of a grading report's HTML page with headless Chromium,
# for the README:
#
#   bash scripts/report-screenshot.sh REPORT.html OUT.png
#
# Installs Debian's chromium package when it is missing (apt-get, through
# sudo unless run as root). The browser runs with a fresh profile that is
# removed afterwards, and with everything that would reach the network off;
# the report fetches nothing anyway. WINDOW_SIZE (default 1200,1600) sets
# the picture's size in pixels.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: bash scripts/report-screenshot.sh REPORT.html OUT.png" >&2
    exit 2
fi
report=$1
output=$2
if [ ! -f "$report" ]; then
    echo "No such report: $report" >&2
    exit 1
fi

if ! command -v chromium >/dev/null 2>&1; then
    sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing: chromium"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends chromium
fi

report_path=$(cd "$(dirname "$report")" && pwd)/$(basename "$report")
mkdir -p "$(dirname "$output")"
output_path=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
# A file:// URL: the characters that would end or change it are escaped.
url=file://$(printf '%s' "$report_path" | sed -e 's/%/%25/g' -e 's/ /%20/g' -e 's/#/%23/g' -e 's/?/%3F/g')

rm -f "$output_path"
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --window-size="${WINDOW_SIZE:-1200,1600}" \
    --hide-scrollbars --screenshot="$output_path" "$url" >"$profile/chromium.log" 2>&1 || true
# Headless Chromium complains of the missing desktop bus even when all is
# well: its messages are shown only when it made no picture.
if [ ! -s "$output_path" ]; then
    cat "$profile/chromium.log" >&2
    echo "Chromium wrote no picture to $output" >&2
    exit 1
fi
echo "Saved $output"
