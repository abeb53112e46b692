#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: by default in the release build and in
# the AddressSanitizer + UndefinedBehaviorSanitizer build. Name presets to run only those
# (scripts/test.sh release).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# A throwaway PostgreSQL cluster for the server tests, stopped however the run ends. Without
# one the server tests skip with a message; in CI (CI=true) they must run, so its failure to
# start fails the run.
pg_dir=$(mktemp -d "${TMPDIR:-/tmp}/pelorin-pg.XXXXXX")
chmod 755 "$pg_dir"
trap 'bash scripts/pg-cluster.sh stop "$pg_dir"' EXIT
trap 'exit 130' INT TERM  # through the EXIT trap: an interrupted run stops its server too
if PELORIN_TEST_PG_URI=$(bash scripts/pg-cluster.sh start "$pg_dir"); then
    export PELORIN_TEST_PG_URI
    echo "=== PostgreSQL test server: $PELORIN_TEST_PG_URI"
elif [ "${CI:-}" = true ]; then
    echo "test: the PostgreSQL test server did not start" >&2
    exit 1
else
    echo "test: no PostgreSQL test server could be started; the server tests skip" >&2
fi
# The engine suites whose behaviour is the same over both stores (what only a file has,
# such as its deletion, an Access original or a table dropped through SQLite, stays with the file).
engine_suites_on_server='DefinitionUpdate.*:Import.*:Export.*:CompareEb.*:CompareDb.*:ConnectionReport.*'
engine_suites_on_server+=':ConnectionCheck.*-Import.ADatabaseDeleted*:ConnectionCheck.Refuses*'
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(release asan)
for preset in "${presets[@]}"; do
    echo "=== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
    echo "=== $preset: tests"
    QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$(nproc)"
    if [ -n "${PELORIN_TEST_PG_URI:-}" ]; then
        echo "=== $preset: the engine tests again, their point databases on the server"
        PELORIN_TEST_PLANT_ON_SERVER=1 "build/$preset/bin/pelorin_tests" \
            --gtest_filter="$engine_suites_on_server" --gtest_brief=1
    fi
done
