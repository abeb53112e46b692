#!/usr/bin/env bash
# Installs what is missing, builds the release, and starts the program on a demo plant.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
bin=build/release/bin
if [ -x "$bin/pelorin" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin/pelorin" --demo
fi
# No desktop to show the window on: walk the demo road on the command line instead, and say
# where each result was written.
cli="$bin/pelorin-cli"
out=$(mktemp -d "${TMPDIR:-/tmp}/pelorin-demo.XXXXXX")
demo_files=(data/demo/*.eb)
types=ANINNIM,DIINNIM,DEVCTL,LOGICNIM,REGPVNIM,REGCLNIM
echo "No desktop: the demo on the command line, written to $out"
"$cli" new-db "$out/demo.db"
"$cli" import "$out/demo.db" "${demo_files[@]}"
"$cli" new-db "$out/demo-asbuilt.db"
"$cli" import "$out/demo-asbuilt.db" data/demo/asbuilt/*.eb
"$cli" export "$out/demo.db" "$out/REGCLNIM.eb" --types REGCLNIM
"$cli" compare "$out/demo.db" "$out/demo_Compare.htm" "${demo_files[@]}" --two-way || true
"$cli" compare-db "$out/demo.db" "$out/demo-asbuilt.db" "$out/demo_CompareDB.htm" --types "$types" || true
"$cli" connections "$out/demo.db" "$out/demo_Connections.txt" --types "$types"
echo
echo "Written:"
for f in demo.db demo-asbuilt.db REGCLNIM.eb demo_Compare.htm demo_CompareDB.htm demo_Connections.txt; do
    echo "  $out/$f"
done
