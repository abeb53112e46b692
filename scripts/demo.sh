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
# No desktop to show the window on: show the demo plant from the command line instead.
demo=$(mktemp -d)/demo.db
"$bin/pelorin-cli" new-db "$demo"
echo "Demo point database: $demo"
echo "Point types:"
"$bin/pelorin-cli" types
