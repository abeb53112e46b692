#!/bin/sh
# Peak memory (KB, /usr/bin/time's %M) of pelorin-cli's import, export and two-way compare of
# the generated plant at 100,000 and 1,000,000 points, and the ratio of the two: "flat" is at
# most 1.2. The plants are made in a temporary folder and removed at the end (1,000,000 points
# take about 400 MB of file and more of database).
#
#   bench/memory_bench.sh [BUILD_DIR] [GENPLANT] [SMALL] [LARGE]
#   (defaults: build/release, ../shared/peers/genplant.py, 100000, 1000000)
set -eu
BUILD=${1:-build/release}
GENPLANT=${2:-../shared/peers/genplant.py}
SMALL=${3:-100000}
LARGE=${4:-1000000}
CLI=$(realpath "$BUILD/bin/pelorin-cli")
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# points operation command...: appends "operation points KB" to $TMP/peaks
peak() {
    points=$1 op=$2
    shift 2
    /usr/bin/time -f "%M" -o "$TMP/time" "$@" >/dev/null 2>&1 || echo "$op at $points failed" >&2
    echo "$op $points $(tail -n 1 "$TMP/time")" >>"$TMP/peaks"
}

for points in "$SMALL" "$LARGE"; do
    dir="$TMP/$points"
    python3 "$GENPLANT" "$dir" "$points" >/dev/null
    types=$(tr -s ' \n' ',' <"$dir/types.txt" | sed 's/,$//')
    "$CLI" new-db "$dir/plant.db"
    peak "$points" import "$CLI" --yes import "$dir/plant.db" "$dir/plant.eb"
    peak "$points" export "$CLI" export "$dir/plant.db" "$dir/out.eb" --types "$types"
    peak "$points" compare-two-way "$CLI" compare --two-way "$dir/plant.db" "$dir/report.htm" \
        "$dir/plant.eb"
    rm -rf "$dir"
done
awk -v small="$SMALL" -v large="$LARGE" '
    $2 == small { s[$1] = $3; order[++n] = $1 }
    $2 == large { l[$1] = $3 }
    END {
        printf "%-16s %12s %12s %8s\n", "peak KB", small, large, "ratio"
        for (i = 1; i <= n; ++i)
            printf "%-16s %12d %12d %8.2f\n", order[i], s[order[i]], l[order[i]], l[order[i]] / s[order[i]]
    }' "$TMP/peaks"
