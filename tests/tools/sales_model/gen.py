#!/usr/bin/env python3
"""Random investor data files for comparing the sales file.  gen.py SEED OUT.qvx"""
import sys
import random
import datetime

sys.path.insert(0, __import__("os").path.dirname(__file__))
from model import NAMES, SCHEDULE  # noqa: E402

D = datetime.date
FIRST, LAST = D(1983, 12, 31), D(2017, 12, 31)
EVENT_DAYS = sorted(SCHEDULE)
# securities that exist early and receive or give in events
EARLY = ["Quorvex", "Orvanta", "Tessaline", "Dunmarrow", "Halvern", "Corvallan",
         "KSN Communications", "Altamor"]


def rand_day(R, lo=FIRST, hi=LAST):
    x = R.random()
    if x < 0.25:
        d = R.choice(EVENT_DAYS) + datetime.timedelta(days=R.choice([0, 0, 0, -1, 1, 365, 366, -365]))
    elif x < 0.30:
        d = D(R.choice([1984, 1988, 1992, 1996, 2000, 2004, 2008, 2012, 2016]), 2, 29)
    elif x < 0.33:
        base = D(R.choice([1984, 1988, 1992, 1996, 2000, 2004, 2008, 2012, 2016]), 2, 29)
        d = base + datetime.timedelta(days=R.choice([365, 366, 367, 364, 730]))
    elif x < 0.36:
        d = D(R.randint(1985, 2016), 12, 31)
    else:
        d = lo + datetime.timedelta(days=R.randint(0, (hi - lo).days))
    return min(max(d, lo), hi)


def date_text(R, d):
    x = R.random()
    if x < 0.85:
        return f"{d.month:02d}/{d.day:02d}/{d.year:04d}"
    if x < 0.93:
        return f"{d.month}/{d.day}/{d.year}"
    return f"{d.year:04d}-{d.month:02d}-{d.day:02d}"


def num_text(R, value_hundred_thousandths, dec):
    """value given as integer of 10^-dec units; printed in a random plain form."""
    k = value_hundred_thousandths
    ip, fp = divmod(k, 10 ** dec)
    x = R.random()
    if x < 0.5:
        s = f"{ip:,}" + "." + str(fp).rjust(dec, "0")
    elif x < 0.8:
        s = str(ip) + ("." + str(fp).rjust(dec, "0").rstrip("0") if fp else "")
    else:
        s = f"{ip}.{str(fp).rjust(dec, '0')}"
    return s


def shares_value(R):
    x = R.random()
    if x < 0.45:
        return R.choice([1, 5, 10, 25, 50, 75, 100, 150, 200, 300, 333, 500, 1000, 1234]) * 100000
    if x < 0.75:
        return R.randint(1, 2000) * 100000 + R.randint(1, 99999)
    if x < 0.9:
        return R.randint(1, 500) * 100000 + R.choice([50000, 33333, 66667, 12500, 25000, 1, 99999])
    return R.randint(1, 99) * 1000  # small fractional holdings


def cost_value(R, shares_k5):
    per = R.uniform(0.5, 120.0)
    c = int(round(shares_k5 / 100000 * per * 100))
    if R.random() < 0.05:
        c = R.randint(0, 3)
    return max(c, 0)


def make_struct(seed, dense=False):
    R = random.Random(seed)
    start, stop = FIRST, D(2016, 12, 31)
    x = R.random()
    if x < 0.55:
        stop = D(2016, 12, 31)
    elif x < 0.7:
        stop = D(2017, 12, 31)
    elif x < 0.85:
        stop = rand_day(R, D(1990, 1, 1))
    elif x < 0.95:
        start = rand_day(R, D(1984, 1, 1), D(2010, 1, 1))
        stop = rand_day(R, start, LAST)
    else:
        start = rand_day(R, D(1985, 1, 1))
        stop = start - datetime.timedelta(days=R.randint(0, 400))
    y = R.random()
    lum = 1 if y < 0.4 else 2 if y < 0.6 else 3 if y < 0.8 else R.choice([0, 4, -1, 2, 3])
    nsec = R.choice([1, 2, 3, 3, 4, 5, 6, 8, 12])
    if dense:
        nsec = R.choice([3, 5, 8, 12, 20, 30])
    chosen = set()
    if R.random() < 0.8:
        chosen.add("Quorvex")
    while len(chosen) < nsec:
        chosen.add(R.choice(EARLY) if R.random() < 0.4 else R.choice(NAMES))
    secs = {}
    for name in NAMES:
        if name not in chosen:
            continue
        ents = []
        if name == "Quorvex" and R.random() < 0.8:
            for _ in range(R.choice([1, 1, 1, 2, 3]) if dense else 1):
                k = shares_value(R)
                ents.append((FIRST, k, cost_value(R, k), None))
        n = R.randint(1, 25 if dense else 10)
        held = []
        for _ in range(n):
            d = rand_day(R)
            if ents and R.random() < 0.12:
                d = R.choice(ents)[0]   # two entries on one day
            if dense and ents and R.random() < 0.15:
                # on, just before or just after the anniversary of an earlier entry
                a = R.choice(ents)[0]
                try:
                    an = D(a.year + 1, a.month, a.day)
                except ValueError:
                    an = D(a.year + 1, 2, 28)
                d = an + datetime.timedelta(days=R.choice([-1, 0, 0, 1]))
            if R.random() < 0.55 or not held and R.random() < 0.5:
                k = shares_value(R)
                ents.append((d, k, cost_value(R, k), None))
                held.append(k)
            else:
                z = R.random()
                if z < 0.05:
                    k = 0
                elif z < 0.2:
                    k = R.randint(1, 10 ** 8)
                elif z < 0.5:
                    k = R.choice([1, 2, 5, 10, 20, 50, 100]) * 100000
                else:
                    k = R.randint(1, 500) * 100000 + R.choice([0, 0, 50000, R.randint(1, 99999)])
                pr = None
                if R.random() < 0.6:
                    pr = R.choice([0, R.randint(0, 10 ** 7), R.randint(0, 10 ** 5),
                                   int(k / 100000 * R.uniform(1, 80) * 100)])
                ents.append((d, -k, 0, pr))
        if R.random() < 0.5:
            ents.sort(key=lambda e: e[0])
        secs[name] = ents
    return {"R": R, "start": start, "stop": stop, "lum": lum, "secs": secs, "seed": seed,
            "eol": "\r\n" if R.random() < 0.85 else "\n"}


def write(st):
    R = st["R"]
    start, stop = st["start"], st["stop"]
    g = ["[General]", "Version=QVX2017.10", f"Name=Random investor {st['seed']}", "Line 2=",
         f"Start Date={start.month:02d}/{start.day:02d}/{start.year:04d}",
         f"Stop Date={stop.month:02d}/{stop.day:02d}/{stop.year:04d}", f"Lumora={st['lum']}"]
    body = []
    for name in NAMES:
        body.append("")
        body.append(f"[{name}]")
        ents = st["secs"].get(name)
        if not ents:
            body.append("Count=0")
            continue
        body.append(f"Count={len(ents)}")
        for i, (d, k, c, pr) in enumerate(ents, 1):
            body.append(f"{i} Date={date_text(R, d)}")
            if k < 0:
                body.append(f"{i} Shares=-{num_text(R, -k, 5)}")
            else:
                body.append(f"{i} Shares={num_text(R, k, 5)}")
            body.append(f"{i} Cost={num_text(R, c, 2)}")
            if pr is not None:
                body.append(f"{i} Proceeds={num_text(R, pr, 2)}")
            body.append(f"{i} Code={d.month:02d}/{d.day:02d}/{d.year:04d}-{i}")
    eol = st["eol"]
    return eol.join(g + body) + eol


def make(seed):
    return write(make_struct(seed))


def make_dense(seed, sell_all=4):
    """more securities and entries, sells near anniversaries, and sells of the whole holding
    as the pool reports it (the investor sells what the broker says is held)."""
    import model
    st = make_struct(seed, dense=True)
    R = random.Random(seed + 10 ** 6)
    for _ in range(sell_all):
        text = write(st)
        inv = model.load(text)
        w = model.Walk(inv)
        w.run()
        cands = [(sec, t) for sec in model.NAMES for t in w.pool.txs[sec] if t.new_k5 > 0]
        if not cands:
            break
        sec, t = R.choice(cands)
        # the day after that transaction, or a later day with no posting of the security
        d = t.date + datetime.timedelta(days=R.choice([1, 1, 2, 30, 200]))
        later = [u.date for u in w.pool.txs[sec] if u.date > t.date]
        if later and d >= min(later):
            d = t.date + datetime.timedelta(days=1)
            if d >= min(later):
                continue
        if d > st["stop"]:
            continue
        pr = R.choice([None, int(t.new_k5 / 100000 * R.uniform(1, 80) * 100)])
        st["secs"].setdefault(sec, []).append((d, -t.new_k5, 0, pr))
    return write(st)


if __name__ == "__main__":
    seed = int(sys.argv[1])
    open(sys.argv[2], "w", newline="").write(make(seed))


def make_probe(seed):
    """small holdings of awkward sizes sold in awkward parts, so that parts land on exact
    half cents after a division (where an inexact lot keeping shows)."""
    R = random.Random(seed * 31 + 7)
    st = make_struct(seed)
    st["stop"] = D(2017, 12, 31) if R.random() < 0.7 else st["stop"]
    st["start"] = FIRST
    secs = {}
    names = ["Quorvex"] + R.sample(NAMES, R.randint(1, 5))
    for name in set(names):
        ents = []
        for _ in range(R.randint(1, 3)):
            d = rand_day(R) if not (name == "Quorvex" and not ents) else FIRST
            n = R.choice([3, 6, 7, 9, 11, 12, 13, 24, 0.3, 2.5, 1.5, 0.7]) * R.choice([1, 1, 10, 100])
            k = int(round(n * 100000))
            ents.append((d, k, R.randint(1, 10 ** 6), None))
        for _ in range(R.randint(2, 8)):
            d = rand_day(R)
            part = R.choice([1, 1.5, 2, 0.5, 0.25, 0.75, 3, 4.5, 0.1, 0.2, 1.25, 2.5]) * R.choice([1, 1, 10])
            k = int(round(part * 100000))
            pr = R.choice([None, R.randint(0, 10 ** 6), R.randint(0, 999) * 10 + 5])
            ents.append((d, -k, 0, pr))
        secs[name] = ents
    st["secs"] = secs
    return write(st)


FOCUS = [D(2000, 6, 15), D(2010, 1, 1), D(2010, 12, 31), D(2005, 11, 18), D(2014, 2, 24),
         D(1995, 11, 1), D(2011, 1, 1), D(2006, 12, 29), D(2002, 11, 18), D(2004, 12, 30),
         D(2016, 1, 1), D(2005, 5, 27), D(1997, 4, 1), D(1999, 10, 8)]


def make_focus(seed):
    """dense investors whose entries crowd around one key date of the history (a merger, the
    worthless close-out, the covered-basis boundary ...), with a stop date near it at times."""
    R = random.Random(seed * 131 + 3)
    st = make_struct(seed, dense=True)
    c = R.choice(FOCUS)
    span = R.choice([3, 30, 400, 800])

    def near():
        x = R.random()
        if x < 0.3:
            return c + datetime.timedelta(days=R.choice([-366, -365, -1, 0, 0, 1, 365, 366]))
        return c + datetime.timedelta(days=R.randint(-span, span))
    for name, ents in st["secs"].items():
        new = []
        for (d, k, cost, pr) in ents:
            if d != FIRST or R.random() < 0.2:
                d = min(max(near(), FIRST), LAST)
            new.append((d, k, cost, pr))
        st["secs"][name] = new
    # the securities that the key date touches, bought a little before it
    for name in R.sample(NAMES, 3):
        d = min(max(near(), FIRST), LAST)
        k = shares_value(R)
        st["secs"].setdefault(name, []).append((d, k, cost_value(R, k), None))
    st["start"] = FIRST if R.random() < 0.8 else min(c, near())
    st["stop"] = R.choice([D(2017, 12, 31), D(2016, 12, 31), c, c + datetime.timedelta(days=R.randint(0, 200)),
                           c - datetime.timedelta(days=1)])
    return write(st)


def make_lumora(seed):
    """the Lumora merger with several lots of both terms: the 12/31/1983 holding through Altamor,
    buys of Altamor and Lumora, some a year or less before the merger, sells before it."""
    R = random.Random(seed * 17 + 5)
    st = make_struct(seed)
    st["start"] = FIRST
    st["stop"] = R.choice([D(2016, 12, 31), D(2000, 6, 15), D(2000, 12, 31)])
    st["lum"] = R.choice([1, 1, 2, 2, 3, 3, 0, 4])
    secs = {"Quorvex": [(FIRST, shares_value(R), R.randint(100, 10 ** 7), None)]}
    m = D(2000, 6, 15)
    for name in ("Altamor", "Lumora", "Quorvex"):
        ents = secs.setdefault(name, [])
        for _ in range(R.randint(1, 6)):
            if name == "Altamor":
                d = rand_day(R, FIRST, D(1995, 11, 1))
            else:
                d = m - datetime.timedelta(days=R.choice([0, 1, 2, 365, 366, 367, 100, 500, 2000]))
            k = shares_value(R)
            ents.append((d, k, cost_value(R, k), None))
        for _ in range(R.randint(0, 3)):
            d = m - datetime.timedelta(days=R.randint(0, 1500))
            k = R.randint(1, 300) * 100000 + R.choice([0, 50000, R.randint(1, 99999)])
            ents.append((d, -k, 0, R.choice([None, R.randint(0, 10 ** 6)])))
    st["secs"] = secs
    return write(st)


def make_ties(seed):
    """lots of round share counts whose per-share basis ends in a half cent at some count,
    sold first in odd parts and then in round parts: the round parts are exact half cents."""
    R = random.Random(seed * 7 + 1)
    st = make_struct(seed)
    st["start"], st["stop"], st["lum"] = FIRST, D(2017, 12, 31), R.choice([1, 2, 3])
    secs = {}
    for name in R.sample(NAMES, R.randint(1, 4)):
        ents = []
        d0 = rand_day(R, D(1984, 1, 1), D(2015, 1, 1))
        n = R.choice([100, 200, 1000, 500, 2000, 10000])
        cost = R.randint(10 ** 4, 10 ** 8) // 10 * 10 + 5   # cents ending in 5
        ents.append((d0, n * 100000, cost, None))
        d = d0
        for _ in range(R.randint(1, 5)):
            d = d + datetime.timedelta(days=R.randint(0, 200))
            k = R.randint(1, n * 100000 // 8) if R.random() < 0.6 else R.choice([n // 10, n // 2, n // 10]) * 100000
            ents.append((d, -k, 0, R.choice([None, R.randint(0, 10 ** 6)])))
        secs[name] = ents
    st["secs"] = secs
    return write(st)


SPINS = {  # event date: (source, receiver, r)
    D(1996, 9, 30): ("Quorvex", "Ferrant Technologies", "0.324084"),
    D(1996, 12, 31): ("Quorvex", "TBN", "0.0625"),
    D(1994, 4, 1): ("Corvallan", "Skyvell Communications", "1.0"),
    D(2000, 10, 2): ("Ferrant Technologies", "Solvane", "0.08333"),
    D(2001, 7, 9): ("Quorvex", "Quorvex Wireless", "0.3218"),
    D(2007, 9, 14): ("TBN", "Kaldera Corp", "1.0"),
    D(2002, 11, 18): ("Quorvex", "Brantel", "0.3235"),
    D(1997, 4, 1): ("Corvallan", "KSN Communications", "0.73145"),
    D(1999, 10, 8): ("Orvanta", "KSN Communications", "1.316"),
    D(2006, 12, 1): ("Ferrant Technologies", "Marquon-Ferrant", "0.1952"),
    D(2014, 2, 24): ("Vantrel", "Meridane", "0.263001"),
    D(2008, 3, 7): ("Meridane", "Hollin Comm", "0.018859"),
    D(1998, 6, 12): ("Lumora", "Altamor Communications", "0.02731"),
}


def make_ties2(seed):
    """a round lot at a cost ending in 5 cents, an odd part sold, then an event, then halves and
    tenths of what the source and the receiver hold: ties that survive an event."""
    from fractions import Fraction
    R = random.Random(seed * 13 + 9)
    st = make_struct(seed)
    st["start"], st["stop"], st["lum"] = FIRST, D(2017, 12, 31), R.choice([1, 2, 3])
    secs = {}
    for ev in R.sample(sorted(SPINS), R.randint(1, 3)):
        src, rec, r = SPINS[ev]
        d0 = ev - datetime.timedelta(days=R.randint(30, 900))
        n = R.choice([100, 200, 1000, 500, 2000, 10000, 40, 80])
        cost = R.randint(10 ** 4, 10 ** 8) // 10 * 10 + R.choice([5, 0, 2])
        secs.setdefault(src, []).append((d0, n * 100000, cost, None))
        odd = R.randint(1, n * 100000 // 3)
        secs[src].append((d0 + datetime.timedelta(days=R.randint(0, 20)), -odd, 0, None))
        left = n * 100000 - odd
        recv = Fraction(r) * left
        after = ev + datetime.timedelta(days=R.randint(1, 300))
        for part in (Fraction(1, 2), Fraction(1, 10), Fraction(1, 4)):
            for sec, amount in ((src, Fraction(left)), (rec, recv)):
                k = amount * part
                if k.denominator == 1 and R.random() < 0.6:
                    secs.setdefault(sec, []).append((after, -int(k), 0,
                                                     R.choice([None, R.randint(0, 10 ** 6)])))
    st["secs"] = secs
    return write(st)
