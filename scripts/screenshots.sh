#!/usr/bin/env bash
# Starts the window on the demo plant under Xvfb and saves a screenshot of each tab into docs/
# (docs/window-import.png, docs/window-export.png, docs/window-compare-eb.png). The window is
# made tall enough to show the Compare DB panel under the tab strip. Settings and the demo plant
# go to a temporary home, so the user's own are not touched.
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
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 640x1000x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$scratch"' EXIT
export DISPLAY=$display XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data HOME=$scratch
export QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

shoot() {  # tab number, file name
    "$program" --demo --tab="$1" -geometry 500x880+0+0 >"$scratch/pelorin.log" 2>&1 &
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
shoot 1 window-import.png
shoot 2 window-export.png
shoot 3 window-compare-eb.png
