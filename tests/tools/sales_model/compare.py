#!/usr/bin/env python3
"""Compare the program's sales file with the model's.

compare.py FIRST_SEED LAST_SEED_EXCLUSIVE [--bin PATH] [--tag NAME]

For each seed: writes the random investor, then for method in fifo, average and for
(all years, one random tax year) runs the program and the model and compares byte for byte.
A differing case is kept in cases/<tag>-s<seed>-<method>-<year>/ with the input, both outputs,
the diff, and the model's output under binary64 lot arithmetic (to tell exactness questions
apart from rule questions).  Prints a summary line per method.
"""
import argparse
import difflib
import os
import random
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import gen  # noqa: E402
import model  # noqa: E402


def run_prog(binary, qvx, out, method, year, explicit_method):
    if os.path.exists(out):
        os.remove(out)
    cmd = [binary, "/silent", "/input", qvx, "/sales", out]
    if year is not None:
        cmd += ["/taxyear", str(year)]
    if explicit_method:
        cmd += ["/method", method]
    r = subprocess.run(cmd, capture_output=True, text=True, timeout=60)
    data = open(out, newline="").read() if os.path.exists(out) else None
    return r.returncode, r.stderr, data


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("first", type=int)
    ap.add_argument("last", type=int)
    ap.add_argument("--bin", default=os.path.join(HERE, "..", "..", "..", "build", "bin", "tvxdesk"))
    ap.add_argument("--tag", default="run")
    ap.add_argument("--quiet", action="store_true")
    ap.add_argument("--dense", action="store_true", help="use gen.make_dense (more entries, sells of all)")
    ap.add_argument("--probe", action="store_true", help="use gen.make_probe (awkward part sizes)")
    ap.add_argument("--focus", action="store_true", help="use gen.make_focus (entries around a key date)")
    ap.add_argument("--lumora", action="store_true", help="use gen.make_lumora (the merger, lots of both terms)")
    ap.add_argument("--ties", action="store_true", help="use gen.make_ties (half-cent parts after odd parts)")
    ap.add_argument("--ties2", action="store_true", help="use gen.make_ties2 (half-cent parts across an event)")
    ap.add_argument("--seeds", help="file of seeds (replaces the range)")
    ap.add_argument("--out", default=os.path.join(os.getcwd(), "sales-model-out"),
                    help="folder for the scratch files and the differing cases")
    a = ap.parse_args()
    work = os.path.join(a.out, "work")
    cases = os.path.join(a.out, "cases")
    os.makedirs(work, exist_ok=True)
    os.makedirs(cases, exist_ok=True)
    # run a private copy of the program and its library, so that a rebuild meanwhile does not matter
    src = os.path.dirname(os.path.abspath(a.bin))
    import time, glob
    stamp = "-".join(time.strftime("%H%M%S", time.gmtime(os.path.getmtime(f)))
                     for f in (a.bin, os.path.join(src, "libOrlendo.so.2017.10")))
    snap = os.path.join(work, "snap-" + stamp)
    if not os.path.isdir(snap):
        os.makedirs(snap + ".tmp", exist_ok=True)
        for f in [a.bin] + glob.glob(os.path.join(src, "libOrlendo.so*")):
            shutil.copy2(f, os.path.join(snap + ".tmp", os.path.basename(f)), follow_symlinks=True)
        os.rename(snap + ".tmp", snap)
    a.bin = os.path.join(snap, os.path.basename(a.bin))
    chk = subprocess.run([a.bin, "/silent", "/input", os.path.join(HERE, "..", "..", "..", "examples", "smith.qvx"), "/sales",
                          os.path.join(work, "smith-check.csv")], capture_output=True, text=True)
    if chk.returncode != 0:
        shutil.rmtree(snap)
        sys.exit("program snapshot does not run (a build in progress?): " + chk.stderr[:200])
    print("program:", a.bin, "built", time.strftime("%H:%M:%S", time.gmtime(os.path.getmtime(a.bin))))
    stats = {m: [0, 0, 0] for m in ("fifo", "average")}  # investors, identical, differing
    seeds = range(a.first, a.last)
    if a.seeds:
        seeds = [int(x) for x in open(a.seeds).read().split()]
    for seed in seeds:
        R = random.Random(seed * 7919 + 1)
        qvx = os.path.join(work, f"s{seed}.qvx")
        open(qvx, "w", newline="").write(gen.make_dense(seed) if a.dense else
                                         gen.make_probe(seed) if a.probe else
                                         gen.make_focus(seed) if a.focus else
                                         gen.make_lumora(seed) if a.lumora else
                                         gen.make_ties(seed) if a.ties else
                                         gen.make_ties2(seed) if a.ties2 else gen.make(seed))
        inv = model.load(qvx)
        walks = {}
        for arith in ("exact", "double"):
            w = model.Walk(inv, arith)
            w.run()
            walks[arith] = w
        year = R.randint(1984, 2017)
        if a.focus and R.random() < 0.6:
            dates = [d.date_sold for d in walks["exact"].disps if not isinstance(d, tuple)]
            if dates:
                year = R.choice(dates).year
        for method in ("fifo", "average"):
            same_all = True
            for y in (None, year):
                explicit = method == "average" or R.random() < 0.5
                out = os.path.join(work, f"s{seed}.{method}.prog.csv")
                rc, err, theirs = run_prog(a.bin, qvx, out, method, y, explicit)
                mine = walks["exact"].rows(method, y)
                if rc == 0 and theirs == mine:
                    continue
                same_all = False
                d = os.path.join(cases, f"{a.tag}-s{seed}-{method}-{'all' if y is None else y}")
                os.makedirs(d, exist_ok=True)
                shutil.copy(qvx, os.path.join(d, "input.qvx"))
                open(os.path.join(d, "model.csv"), "w", newline="").write(mine)
                dbl = walks["double"].rows(method, y)
                open(os.path.join(d, "model-double.csv"), "w", newline="").write(dbl)
                if theirs is not None:
                    open(os.path.join(d, "program.csv"), "w", newline="").write(theirs)
                diff = "".join(difflib.unified_diff((theirs or "").splitlines(True), mine.splitlines(True),
                                                    "program.csv", "model.csv", n=1))
                note = f"rc={rc} stderr={err.strip()[:300]}\n"
                note += f"double-arith model {'AGREES' if dbl == theirs else 'differs'} with program\n"
                open(os.path.join(d, "diff.txt"), "w").write(note + diff)
                if not a.quiet:
                    print(f"seed {seed} {method} year={y} rc={rc} double-agrees={dbl == theirs}")
            stats[method][0] += 1
            stats[method][1 if same_all else 2] += 1
        os.remove(qvx)
    for m, (n, same, bad) in stats.items():
        print(f"{m}: investors {n}, identical (all years and tax year) {same}, differing {bad}")
    return 1 if any(bad for _, _, bad in stats.values()) else 0


if __name__ == "__main__":
    sys.exit(main())
