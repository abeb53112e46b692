#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (PELORIN_FUZZ_SECONDS,
# default 60). Fails on any crash, leak, hang (an input over 30 s) or sanitizer report; the input
# that caused it is kept in build/fuzz/found-TARGET/: add it to the target's corpus folder in
# tests/fuzz, whose files the test suite replays (for the Access reader: a case of the damaged-file
# test in tests/db).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${PELORIN_FUZZ_SECONDS:-60}"
build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DPELORIN_BUILD_FUZZ=ON -DPELORIN_SANITIZE=ON -DPELORIN_BUILD_GUI=OFF \
    -DPELORIN_BUILD_TESTS=OFF -DPELORIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_eb_reader fuzz_eb_import fuzz_access_reader
# The import target writes a database for every input: in memory where the machine has it.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
status=0
for target in eb_reader eb_import access_reader; do
    seeds=tests/fuzz/corpus
    [ "$target" = eb_import ] && seeds=tests/fuzz/corpus-import
    # The Access reader starts from the smallest of the test files, in each of the formats.
    if [ "$target" = access_reader ]; then
        seeds="$build/seeds-access_reader"
        mkdir -p "$seeds"
        cp tests/data/mdb/{emptyJet4.mdb,testV1997.mdb,plant-sample.mdb,testV2007.accdb} "$seeds/"
    fi
    work="$build/corpus-$target" found="$build/found-$target"
    mkdir -p "$work" "$found"
    echo "=== fuzz_$target: $seconds s"
    if ! ASAN_OPTIONS=detect_leaks=1 "$build/bin/fuzz_$target" -max_total_time="$seconds" \
        -timeout=30 -rss_limit_mb=2048 -artifact_prefix="$found/" -print_final_stats=1 \
        "$work" "$seeds" 2>"$build/fuzz_$target.log"; then
        tail -40 "$build/fuzz_$target.log"
        echo "fuzz_$target failed; the input is in $found/: add it to $seeds/" >&2
        status=1
    fi
    grep -E "^(stat::number_of_executed_units|Done)" "$build/fuzz_$target.log" || true
done
exit $status
