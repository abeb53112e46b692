#!/usr/bin/env python3
"""Pelorin beside its yardsticks, one row per operation, on this (noisy, shared) machine.

    bench/side_by_side.py [--build build/release] [--base OTHER_BUILD] [--bare BARE_IMPORT]
                          [--points 100000]
                          [--reps 7] [--peers ../shared/peers] [--mdb FILE] [ROW...]

Rows: import (yardsticks: the hand-written Python import, and bench/bare_import, the least an
import can do; also our import without the definition update, into tables that already have their
columns), export (the hand-written export), compare (two-way, against our own import), convert
(plant-20k.mdb against mdb-export of its table). Every repetition runs the commands of a row one
after the other, in turn forwards and backwards, so that all see the same machine; each row prints
the medians and the ratios of the medians. Dirty pages are written back before each timed
command. With --base, another build's pelorin-cli runs beside ours in every repetition too (before
and after in one run). Everything is made in a temporary folder and removed at the end.
"""
import argparse, os, shutil, statistics, subprocess, sys, tempfile, time


def run(cmd, **kw):
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)


def timed(cmd, prepare=None):
    if prepare:
        prepare()
    # Every command starts on a settled disk: otherwise a command that syncs pays for the
    # write-back of what the one before it wrote (a compare's report slows the import after it).
    os.sync()
    start = time.perf_counter()
    run(cmd)
    return time.perf_counter() - start


def fresh_db(cli, path):
    def make():
        if os.path.exists(path):
            os.remove(path)
        run([cli, "new-db", path])
    return make


def row(title, reps, entries):
    """entries: (label, command, prepare); ratios are taken to the first entry's median."""
    times = {label: [] for label, _, _ in entries}
    for rep in range(reps):
        # The order turns every repetition, so that no command always follows the same one.
        for label, cmd, prepare in entries if rep % 2 == 0 else reversed(entries):
            times[label].append(timed(cmd, prepare))
    medians = {label: statistics.median(t) for label, t in times.items()}
    first = entries[0][0]
    print(f"{title}: median of {reps}")
    for label, _, _ in entries:
        ratio = "" if label == first else f"   {first} / {label} = {medians[first] / medians[label]:.2f}"
        print(f"  {label:<16} {medians[label] * 1000:9.0f} ms{ratio}")
    sys.stdout.flush()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default="build/release")
    ap.add_argument("--base")
    ap.add_argument("--bare", help="bare_import (default: the one of --build)")
    ap.add_argument("--points", type=int, default=100000)
    ap.add_argument("--reps", type=int, default=7)
    ap.add_argument("--peers", default=os.path.join(here, "..", "..", "shared", "peers"))
    ap.add_argument("--mdb", default=os.path.join(here, "..", "..", "shared", "fixtures", "mdb",
                                                  "plant-20k.mdb"))
    ap.add_argument("rows", nargs="*", default=["import", "export", "compare", "convert"])
    a = ap.parse_args()
    cli = os.path.realpath(os.path.join(a.build, "bin", "pelorin-cli"))
    bare = os.path.realpath(a.bare or os.path.join(a.build, "bench", "bare_import"))
    base = os.path.realpath(os.path.join(a.base, "bin", "pelorin-cli")) if a.base else None
    peers = os.path.realpath(a.peers)
    tmp = tempfile.mkdtemp(prefix="pelorin-side-")
    try:
        t = lambda name: os.path.join(tmp, name)
        run([sys.executable, os.path.join(peers, "genplant.py"), t("plant"), str(a.points)])
        eb = t("plant/plant.eb")
        types = open(t("plant/types.txt")).read().split()

        def ours(program, db):
            return [program, "--yes", "import", db, eb]

        def peer_prepare():
            if os.path.exists(t("peer.db")):
                os.remove(t("peer.db"))

        if "import" in a.rows:
            entries = [("pelorin", ours(cli, t("ours.db")), fresh_db(cli, t("ours.db")))]
            if base:
                entries.append(("before", ours(base, t("base.db")), fresh_db(cli, t("base.db"))))
            entries.append(("python peer", [sys.executable, os.path.join(peers, "peer_import.py"),
                                            t("peer.db"), eb], peer_prepare))
            entries.append(("bare limit", [bare, t("bare.db"), eb], fresh_db(cli, t("bare.db"))))
            # The import alone, into tables that have their columns already: what the run costs
            # without the definition update's own pass over the file. An updates-only run adds
            # the columns and no rows.
            fresh_db(cli, t("columns.db"))()
            run([cli, "--yes", "import", "--mode", "updates-only", t("columns.db"), eb])
            entries.append(("no def. update",
                            [cli, "--yes", "import", "--no-update-defs", t("nodefs.db"), eb],
                            lambda: shutil.copy(t("columns.db"), t("nodefs.db"))))
            row(f"import of {a.points} points, new database, definition update on", a.reps,
                entries)

        if "export" in a.rows or "compare" in a.rows:
            fresh_db(cli, t("full.db"))()
            run(ours(cli, t("full.db")))
            if not os.path.exists(t("peer.db")):
                run([sys.executable, os.path.join(peers, "peer_import.py"), t("peer.db"), eb])

        if "export" in a.rows:
            export = lambda program: [program, "export", t("full.db"), t("out.eb"), "--types",
                                      ",".join(types)]
            entries = [("pelorin", export(cli), None)]
            if base:
                entries.append(("before", export(base), None))
            entries.append(("python peer", [sys.executable, os.path.join(peers, "peer_export.py"),
                                            t("peer.db"), t("peer-out.eb")] + types, None))
            row(f"export of {a.points} points", a.reps, entries)

        if "compare" in a.rows:
            compare = lambda program: [program, "compare", "--two-way", t("full.db"),
                                       t("report.htm"), eb]
            entries = [("pelorin", compare(cli), None)]
            if base:
                entries.append(("before", compare(base), None))
            entries.append(("our import", ours(cli, t("ours.db")), fresh_db(cli, t("ours.db"))))
            row(f"compare EB two-way, {a.points} points", a.reps, entries)

        if "convert" in a.rows and os.path.exists(a.mdb) and shutil.which("mdb-export"):
            mdb = t("plant-20k.mdb")
            shutil.copy(a.mdb, mdb)

            def gone(path):
                return lambda: os.path.exists(path) and os.remove(path)

            entries = [("pelorin", [cli, "convert", mdb, t("conv.db")], gone(t("conv.db")))]
            if base:
                entries.append(("before", [base, "convert", mdb, t("base-conv.db")],
                                gone(t("base-conv.db"))))
            entries.append(("mdb-export", ["mdb-export", mdb, "REGCLNIM"], None))
            row("convert plant-20k.mdb", a.reps, entries)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
