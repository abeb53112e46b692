#!/bin/sh
# check-connections and diff on a generated plant, beside the import of the same plant: seconds
# and peak memory (KB, /usr/bin/time's %M) of each run, and their times as a ratio of the
# import's. NEW is OLD with its blocks reordered (each run of 10,000 reversed), one point in 97
# changed, one in 1,000 removed and 1,000 added. Everything is made in a temporary folder and
# removed at the end.
#
#   bench/checks_bench.sh [BUILD_DIR] [POINTS] [GENPLANT]
#   (defaults: build/release, 1000000, ../shared/peers/genplant.py)
set -eu
BUILD=${1:-build/release}
POINTS=${2:-1000000}
GENPLANT=${3:-../shared/peers/genplant.py}
CLI=$(realpath "$BUILD/bin/pelorin-cli")
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

python3 "$GENPLANT" "$TMP/plant" "$POINTS" >/dev/null
python3 - "$TMP/plant/plant.eb" "$TMP/new.eb" <<'PY'
import sys
def blocks(f):
    block = []
    for line in f:
        if line.startswith(b"&T") and block:
            yield block
            block = []
        block.append(line)
    if block:
        yield block
with open(sys.argv[1], "rb") as f, open(sys.argv[2], "wb") as out:
    group = []
    for i, b in enumerate(blocks(f)):
        if i % 1000 == 999:
            continue
        if i % 97 == 0:
            b = [l.replace(b"KEYWORD = ", b"KEYWORD = X") for l in b]
        group.append(b)
        if len(group) == 10000:
            for g in reversed(group):
                out.writelines(g)
            group = []
    for g in reversed(group):
        out.writelines(g)
    for k in range(1000):
        out.write(b"&T REGCLNIM\r\n&N NEW%06d\r\nKEYWORD = PID\r\n{ }\r\n" % k)
PY

# name, then the command: prints "name seconds peak-KB exit-status"
measure() {
    name=$1
    shift
    status=0
    /usr/bin/time -f "%e %M" -o "$TMP/time" "$@" >"$TMP/out" 2>"$TMP/err" || status=$?
    set -- $(tail -n 1 "$TMP/time")
    echo "$name $1 $2 $status"
    echo "$name $1" >>"$TMP/times"
}

"$CLI" new-db "$TMP/plant.db"
measure import "$CLI" --yes import "$TMP/plant.db" "$TMP/plant/plant.eb"
measure check-connections "$CLI" check-connections "$TMP/plant.db" "$TMP/check.csv"
cat "$TMP/out"
measure diff "$CLI" diff "$TMP/plant/plant.eb" "$TMP/new.eb" "$TMP/diff.csv"
cat "$TMP/out"
awk '$1 == "import" { t = $2 } $1 != "import" { printf "%s / import: %.2f\n", $1, $2 / t }' \
    "$TMP/times"
