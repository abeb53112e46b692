#!/usr/bin/env bash
# Import, export and compare of a synthetic plant into a SQLite file and into a PostgreSQL
# database on this machine (Unix socket), side by side; prints the median times and the ratio
# server / file of each. The machine is shared and noisy: quote the ratios, not the times.
#   bench/server_vs_file.sh BUILD_DIR PLANT_DIR [RUNS]
# PLANT_DIR holds plant.eb and types.txt (genplant.py PLANT_DIR 100000 writes them). A cluster
# is started for the run (scripts/pg-cluster.sh) unless PELORIN_BENCH_PG_URI names a server
# database to use (it must be empty; it is left with the last run's tables).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build folder}
plant=${2:?plant folder}
runs=${3:-3}
cli="$build/bin/pelorin-cli"
work=$(mktemp -d "${TMPDIR:-/tmp}/pelorin-bench.XXXXXX")
chmod 755 "$work"
cleanup() {
    [ -n "${PELORIN_BENCH_PG_URI:-}" ] || bash "$here/scripts/pg-cluster.sh" stop "$work/pg"
    rm -rf "$work"
}
trap cleanup EXIT
if [ -n "${PELORIN_BENCH_PG_URI:-}" ]; then
    admin="$PELORIN_BENCH_PG_URI"
else
    admin=$(bash "$here/scripts/pg-cluster.sh" start "$work/pg")
fi
types=$(paste -sd, "$plant/types.txt")
psql=/usr/lib/postgresql/15/bin/psql

seconds() { # runs the command, prints its wall time in seconds
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
median() { sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

declare -A times
for run in $(seq 1 "$runs"); do
    file="$work/plant-$run.db"
    db="bench$run"
    "$psql" -q "$admin" -c "DROP DATABASE IF EXISTS $db" -c "CREATE DATABASE $db"
    server=${admin/\/postgres\?/\/$db\?}
    for store in file server; do
        target=${!store}
        "$cli" new-db "$target" >/dev/null
        times[$store-import]+="$(seconds "$cli" --yes import "$target" "$plant/plant.eb") "
        times[$store-export]+="$(seconds "$cli" export "$target" "$work/$store.eb" --types "$types") "
        times[$store-compare]+="$(seconds "$cli" compare "$target" "$work/$store.htm" "$plant/plant.eb") "
    done
    cmp -s "$work/file.eb" "$work/server.eb" || { echo "the exports differ" >&2; exit 1; }
    rm -f "$file"
done
printf '%-8s %10s %10s %7s\n' step file/s server/s ratio
for step in import export compare; do
    f=$(echo "${times[file-$step]}" | tr ' ' '\n' | grep . | median)
    s=$(echo "${times[server-$step]}" | tr ' ' '\n' | grep . | median)
    printf '%-8s %10.2f %10.2f %7.2f\n' "$step" "$f" "$s" "$(echo "$s / $f" | bc -l)"
done
