#!/usr/bin/env bash
# Installs what building and testing Pelorin needs on Debian 12, compiler and CMake included.
# Runs as root, or through sudo when not root. Installs only what is missing.
set -euo pipefail

packages=(
    build-essential g++ cmake ninja-build pkg-config git
    libsqlite3-dev sqlite3
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libcli11-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    mdbtools mdbtools-dev libglib2.0-dev
    libpq-dev postgresql-15
    xvfb xauth imagemagick
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "setup: these packages are missing and neither root nor sudo is at hand: ${missing[*]}" >&2
    exit 1
fi
echo "setup: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
