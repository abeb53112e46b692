#!/usr/bin/env bash
# Starts the window on the demo plant under Xvfb and saves a screenshot of each tab and of the
# Compare DB panel (Tools > Compare DB) into docs/, at the start-up size on a large screen
# (docs/window-import.png, ...-export, ...-compare-eb, ...-compare-db) and on a 1024x600 screen,
# where the content scrolls (docs/window-600-*.png). Settings and the demo plant go to a
# temporary home, so the user's own are not touched.
# Needs: xvfb, x11-utils (xwininfo), imagemagick (import, convert).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
if [ ! -x "$build/bin/pelorin" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release -j "$(nproc)" --target pelorin
    build=build/release
fi
program="$(cd "$build/bin" && pwd)/pelorin"
mkdir -p docs
scratch=$(mktemp -d)
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data HOME=$scratch
export QT_QPA_PLATFORM=xcb
xvfb=
trap 'if [ -n "$xvfb" ]; then kill $xvfb 2>/dev/null || true; fi; rm -rf "$scratch"' EXIT

screen() {  # WIDTHxHEIGHT: a fresh X server of that size
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
    export DISPLAY=:$((90 + RANDOM % 100))
    Xvfb "$DISPLAY" -screen 0 "$1x24" -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

shoot() {  # tab number (4: the Compare DB panel), file name
    "$program" --demo --tab="$1" >"$scratch/pelorin.log" 2>&1 &
    local pid=$!
    for _ in $(seq 100); do
        xwininfo -root -tree 2>/dev/null | grep -q '"Pelorin File Conversion Utility"' && break
        sleep 0.1
    done
    sleep 1  # let it paint
    import -window root "$scratch/shot.png"
    convert "$scratch/shot.png" -trim +repage "docs/$2"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "docs/$2"
}

screen 1600x1200
shoot 1 window-import.png
shoot 2 window-export.png
shoot 3 window-compare-eb.png
shoot 4 window-compare-db.png
screen 1024x600
shoot 1 window-600-import.png
shoot 2 window-600-export.png
shoot 3 window-600-compare-eb.png
shoot 4 window-600-compare-db.png
