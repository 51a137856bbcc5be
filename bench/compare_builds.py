#!/usr/bin/env python3
"""Runs two builds of tvxdesk on the same investors and compares every byte.

Usage: bench/compare_builds.py OLD_TVXDESK NEW_TVXDESK [COUNT] [SEED]

For each investor (the example, heavy and largest from make_investors.sh, and
COUNT random ones, default 300) both programs run the batch run with
/output and /csv (and /sales when the old program knows it), then with /csv
alone; the report file, the CSV file, the sales file, the exit status and
the messages on standard error must be the same. Random investors mix
well-formed entries with what users and other tools leave in files: dates
that do not read, shares and costs that are no numbers or overflow, missing
keys and counts, lower-case section names, LF line ends, a byte-order mark,
Windows-1252 names, stop dates before the start. Prints the differing cases
and exits 1 when there is one.
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

SECURITIES = [
    "Quorvex", "Ferrant Technologies", "Solvane", "TBN", "Altamor", "Lumora",
    "Altamor Communications", "Zephrin", "Quorvex Wireless", "Dunmarrow", "Corvallan",
    "Skyvell Communications", "Vantrel", "KSN Communications", "Orvanta", "Halvern",
    "Tessaline", "Meridane", "Tellano Class A", "Tellano Class B", "Brantel",
    "Tellano after 5-27-05", "Marquon-Ferrant", "Dirvana", "CRN Logic", "Kaldera Corp",
    "Hollin Comm", "Ravensby Comm", "Aldamark", "Vesterholm Corporation",
]


def rdate(rng, messy):
    r = rng.random() if messy else 1
    if r < 0.005:
        return rng.choice(["", "13/01/1990", "02/30/1995", "1/2/90", "yesterday", "00/00/0000", "12/31/1983 "])
    y = rng.randint(1980, 2020) if rng.random() < 0.1 else rng.randint(1983, 2016)
    return "%02d/%02d/%04d" % (rng.randint(1, 12), rng.randint(1, 28), y)


def rshares(rng, buy, messy):
    r = rng.random() if messy else 1
    if r < 0.003:
        return rng.choice(["", "abc", "1e400", "-", "12,34.5", "99999999999999", "1.23456789", " 5"])
    if rng.random() < 0.02:
        return "%.5f" % (rng.uniform(1e8, 1e13) * (1 if buy else -1))
    v = rng.choice([1, 2.5, 10, 100, 333.33333, 0.123456, 1000]) * rng.randint(1, 50)
    if not buy:
        v = -v / rng.randint(1, 4)
    text = "%.5f" % v
    if rng.random() < 0.2 and abs(v) >= 1000:
        text = "{:,.5f}".format(v)
    return text


def rcost(rng, messy):
    r = rng.random() if messy else 1
    if r < 0.003:
        return rng.choice(["", "x", "1,2,3", "$100", "1e30", "-50.00", "0.005", "922337203685477.58"])
    v = rng.uniform(0, 200000)
    return "{:,.2f}".format(v) if rng.random() < 0.5 else "%.2f" % v


def investor(rng):
    # A third of the investors carry a value here and there that does not read.
    messy = rng.random() < 0.3
    eol = "\n" if rng.random() < 0.1 else "\r\n"
    lines = []
    start = rng.choice(["12/31/1983"] * 6 + ["01/01/1990", "06/30/2001", "12/31/2016", "not a date"])
    stop = rng.choice(["12/31/2016"] * 5 + ["12/31/1999", "06/15/1987", "12/31/2025", "12/31/1983", ""])
    name = rng.choice(["Pat Investor", "Jo, \"Senior\"", "Ren\xe9e M\xfcller", "A" * 60, ""])
    lines += ["[General]", "Version=QVX2017.10", "Name=" + name, "Line 2=Account %d" % rng.randint(1, 999),
              "Start Date=" + start]
    if stop:
        lines.append("Stop Date=" + stop)
    lines.append("Lumora=%s" % rng.choice(["1", "2", "3", "1", "7"]))
    lines.append("")
    for sec in rng.sample(SECURITIES, rng.randint(0, 8)):
        n = rng.choice([0, 1, 2, 3, 5, 10, 20, 60, 200, 200, 1500])
        header = sec.lower() if rng.random() < 0.05 else sec
        lines.append("[%s]" % header)
        count = n
        r = rng.random()
        if r < 0.03:
            count = n + 2
        elif r < 0.05:
            count = max(0, n - 1)
        if rng.random() > 0.02:
            lines.append("Count=%d" % count)
        for i in range(1, n + 1):
            buy = rng.random() < 0.7
            date = rdate(rng, messy)
            lines.append("%d Date=%s" % (i, date))
            lines.append("%d Shares=%s" % (i, rshares(rng, buy, messy)))
            if rng.random() > 0.01:
                lines.append("%d Cost=%s" % (i, rcost(rng, messy) if buy else "0.00"))
            if not buy and rng.random() < 0.4:
                lines.append("%d Proceeds=%s" % (i, rcost(rng, messy)))
            if rng.random() < 0.9:
                lines.append("%d Code=%s-%d" % (i, date, i))
        lines.append("")
    text = eol.join(lines) + eol
    if rng.random() < 0.1:
        data = text.encode("cp1252", errors="replace")
    else:
        data = text.encode("utf-8")
        if rng.random() < 0.05:
            data = b"\xef\xbb\xbf" + data
    return data


def knows_sales(program):
    out = subprocess.run([program, "--help"], capture_output=True).stdout
    return b"/sales" in out


def run(program, work, qvx, with_reports, sales):
    for f in ("out.txt", "out.csv", "out-sales.csv"):
        p = os.path.join(work, f)
        if os.path.exists(p):
            os.remove(p)
    args = [program, "/silent", "/input", qvx]
    if with_reports:
        args += ["/output", os.path.join(work, "out.txt")]
    args += ["/csv", os.path.join(work, "out.csv")]
    if sales:
        args += ["/sales", os.path.join(work, "out-sales.csv")]
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    p = subprocess.run(args, capture_output=True, cwd=work, env=env)
    files = []
    for f in ("out.txt", "out.csv", "out-sales.csv"):
        path = os.path.join(work, f)
        files.append(open(path, "rb").read() if os.path.exists(path) else None)
    # The log lines carry a time stamp: compare them without it.
    err = b"\n".join(line.split(b"] ", 1)[-1] for line in p.stderr.split(b"\n"))
    return (p.returncode, err, files)


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    old, new = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 300
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    sales = knows_sales(old) and knows_sales(new)
    work = tempfile.mkdtemp()
    try:
        subprocess.run([os.path.join(ROOT, "bench", "make_investors.sh"), work], check=True)
        cases = [("smith", open(os.path.join(ROOT, "examples", "smith.qvx"), "rb").read()),
                 ("heavy", open(os.path.join(work, "heavy.qvx"), "rb").read()),
                 ("largest", open(os.path.join(work, "largest.qvx"), "rb").read())]
        rng = random.Random(seed)
        cases += [("random-%d" % i, investor(rng)) for i in range(count)]
        bad = 0
        outcomes = {}
        for name, data in cases:
            qvx = os.path.join(work, "in.qvx")
            with open(qvx, "wb") as f:
                f.write(data)
            for with_reports in (True, False):
                a = run(old, work, qvx, with_reports, sales)
                b = run(new, work, qvx, with_reports, sales)
                outcomes[a[0]] = outcomes.get(a[0], 0) + 1
                if a != b:
                    bad += 1
                    keep = os.path.join(work, "..", "differs-%s.qvx" % name)
                    shutil.copy(qvx, keep)
                    what = [n for n, x, y in zip(("status", "messages", "report", "csv", "sales"),
                                                 (a[0], a[1]) + tuple(a[2]), (b[0], b[1]) + tuple(b[2])) if x != y]
                    print("DIFFERS %s (reports %s): %s; input kept as %s" % (name, with_reports, ", ".join(what), keep))
        print("%d investors, %d runs per build, %d differ; exit statuses %s; files compared: report, CSV%s" %
              (len(cases), 2 * len(cases), bad, dict(sorted(outcomes.items())), ", sales" if sales else ""))
        return 1 if bad else 0
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    sys.exit(main())
