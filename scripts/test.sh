#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: by default in the release build and in
# the AddressSanitizer + UndefinedBehaviorSanitizer build. Name presets to run only those
# (scripts/test.sh release).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(release asan)
for preset in "${presets[@]}"; do
    echo "=== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
    echo "=== $preset: tests"
    QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$(nproc)"
done
