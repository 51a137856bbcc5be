#!/usr/bin/env python3
"""Independent model of the sales file (tax lots) of an investor data file.

Usage:
  model.py F.qvx [--sales OUT.csv] [--csv T.csv] [--taxyear Y] [--method fifo|average]
                 [--arith exact|double]

--csv writes the transactions CSV of the pool (for validation against the program).
--sales writes the sales CSV (default method fifo, all years).
--arith chooses how lots keep shares and basis: exact rationals (default) or binary64.
Standard library only.
"""
import sys
import datetime
from decimal import Decimal, ROUND_HALF_EVEN, InvalidOperation
from fractions import Fraction

D = datetime.date

CATALOGUE = [
    ("QVX", "Quorvex"), ("FRT", "Ferrant Technologies"), ("SOL", "Solvane"), ("TBN", "TBN"),
    ("Altamor", "Altamor"), ("LUM1", "Lumora"), ("ALTCOM", "Altamor Communications"),
    ("ZPH", "Zephrin"), ("QVXW", "Quorvex Wireless"), ("DMW", "Dunmarrow"), ("CV", "Corvallan"),
    ("SKV", "Skyvell Communications"), ("VTL", "Vantrel"), ("KSN", "KSN Communications"),
    ("ORVA", "Orvanta"), ("HLV", "Halvern"), ("TSL", "Tessaline"), ("MRD", "Meridane"),
    ("TLNA", "Tellano Class A"), ("TLNB", "Tellano Class B"), ("BRNTL", "Brantel"),
    ("TLN", "Tellano after 5-27-05"), ("MQF", "Marquon-Ferrant"), ("DRV", "Dirvana"),
    ("CRN", "CRN Logic"), ("KLD", "Kaldera Corp"), ("HLN", "Hollin Comm"), ("RVS", "Ravensby Comm"),
    ("ALD", "Aldamark"), ("VSTRM", "Vesterholm Corporation"),
]
NAMES = [n for _, n in CATALOGUE]

# ---------------------------------------------------------------- numbers

def nearbyint(x):
    """float -> int, ties to even (Python's round on a float is exact, half even)."""
    if x != x or x in (float("inf"), float("-inf")):
        raise OverflowError("overflow")
    return round(x)


def round_d(x, n):
    """round(x, n) of the numbers rules: nearbyint(x*10^n) / 10^n in binary64."""
    return nearbyint(x * float(10 ** n)) / (10 ** n)


def k_of(x, n):
    """the integer printed for a double shown with n decimals."""
    return nearbyint(x * float(10 ** n))


def hdiv(a, b):
    """a / b rounded to an integer, ties to even (b > 0)."""
    q, r = divmod(a, b)
    if 2 * r > b or (2 * r == b and q % 2 == 1):
        q += 1
    return q


def to_cur(x):
    """double -> currency (ten-thousandths)."""
    return nearbyint(x * 10000.0)


def cur_to_d(c):
    return c / 10000


def cur_round(c, n):
    u = 10 ** (4 - n)
    return hdiv(c, u) * u


def cur_mul(a, b):
    return hdiv(a * b, 10000)


def clean_num(s):
    s = s.strip().replace(",", "")
    return s


def text_to_double(s):
    return float(clean_num(s))


def text_to_cur(s):
    d = Decimal(clean_num(s))
    return int((d * 10000).quantize(Decimal(1), rounding=ROUND_HALF_EVEN))


def is_numeric(s):
    t = s.strip()
    if not t:
        return False
    try:
        Decimal(t.replace(",", ""))
        return True
    except InvalidOperation:
        return False


def fmt_int(k, dec, group=False):
    """print integer k scaled by 10^dec; no sign for zero."""
    neg = k < 0
    k = abs(k)
    ip, fp = divmod(k, 10 ** dec)
    s = str(ip)
    if group:
        s = f"{ip:,}"
    if dec:
        s += "." + str(fp).rjust(dec, "0")
    if neg and k != 0:
        s = "-" + s
    return s


def cur_text(c, dec=2):
    """currency (ten-thousandths) -> text with dec decimals, no separators."""
    return fmt_int(cur_round(c, dec) // 10 ** (4 - dec), dec)

# ---------------------------------------------------------------- dates

def parse_date(s):
    t = s.strip()
    try:
        if "-" in t:
            p = t.split("-")
            if len(p) != 3 or len(p[0]) != 4:
                return None
            y, m, d = int(p[0]), int(p[1]), int(p[2])
        else:
            p = t.split("/")
            if len(p) != 3:
                return None
            m, d = int(p[0]), int(p[1])
            if len(p[2]) == 2:
                yy = int(p[2])
                y = 2000 + yy if yy <= 29 else 1900 + yy
            elif len(p[2]) == 4:
                y = int(p[2])
            else:
                return None
        if not (100 <= y <= 9999):
            return None
        return D(y, m, d)
    except (ValueError, IndexError):
        return None


def iso(d):
    return f"{d.year:04d}-{d.month:02d}-{d.day:02d}"


def anniversary(d):
    if d.month == 2 and d.day == 29:
        return D(d.year + 1, 2, 28)
    return D(d.year + 1, d.month, d.day)

# ---------------------------------------------------------------- data file

def read_sections(path):
    raw = path.encode("utf-8") if path.startswith("[") else open(path, "rb").read()
    if raw.startswith(b"\xef\xbb\xbf"):
        raw = raw[3:]
    text = raw.decode("utf-8", errors="replace")
    lines = text.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    secs = {}
    cur = None
    for line in lines:
        t = line.strip(" \t")
        if not t or t.startswith(";"):
            continue
        if t.startswith("["):
            if t.endswith("]") and len(t) >= 2:
                name = t[1:-1].strip(" \t").lower()
                cur = secs.setdefault(name, {})
            else:
                cur = None
            continue
        if cur is None or "=" not in line:
            continue
        k, v = line.split("=", 1)
        k = k.strip(" \t").lower()
        if k and k not in cur:
            cur[k] = v
    return secs


class Entry:
    pass


def load(path):
    secs = read_sections(path)
    g = secs.get("general", {})
    inv = {}
    inv["start"] = parse_date(g.get("start date", "12/31/1983")) or D(1983, 12, 31)
    sd = g.get("stop date")
    inv["stop"] = parse_date(sd) if sd is not None else None
    if inv["stop"] is None:
        inv["stop"] = datetime.date.today()
    lum = g.get("lumora")
    inv["lumora"] = int(lum.strip()) if lum is not None else 1
    inv["entries"] = {}
    for name in NAMES:
        s = secs.get(name.lower(), {})
        count = int(s.get("count", "0").strip() or 0)
        ents = []
        for n in range(1, count + 1):
            e = Entry()
            e.n = n
            e.date_text = s.get(f"{n} date", "")
            e.date = parse_date(e.date_text)
            sh = s.get(f"{n} shares", "")
            if sh.strip() == "":
                sh = "0"
            co = s.get(f"{n} cost", "")
            if co.strip() == "":
                co = "0"
            e.k5 = k_of(text_to_double(sh), 5)          # shares as they read back (5 decimals)
            e.cost = cur_round(text_to_cur(co), 2)      # cost as it reads back (cents)
            pr = s.get(f"{n} proceeds")
            if pr is None or pr.strip() == "":
                e.proceeds = None
            else:
                if not is_numeric(pr):
                    raise ValueError(f"{name} entry {n}: proceeds {pr!r} is not an amount")
                e.proceeds = cur_round(text_to_cur(pr), 2)
                if e.proceeds < 0:
                    raise ValueError(f"{name} entry {n}: proceeds {pr!r} below 0.00")
                if e.k5 > 0:
                    raise ValueError(f"{name} entry {n}: a buy with proceeds")
            ents.append(e)
        inv["entries"][name] = ents
    return inv

# ---------------------------------------------------------------- pool (transactions)

BUY, SELL, SPLIT, SPIN_OLD, SPIN_NEW, ACQ_OLD, ACQ_NEW, CASH_OR_STK = range(8)
DESC = {BUY: "Buy", SELL: "Sell", SPLIT: "Split", SPIN_OLD: "Spin off", SPIN_NEW: "Spin off",
        ACQ_OLD: "Acquisition", ACQ_NEW: "Acquisition", CASH_OR_STK: "Cash or stock"}


class Tx:
    cash = realized = recog = None


class Pool:
    def __init__(self):
        self.txs = {n: [] for n in NAMES}

    def count(self, sec):
        return len(self.txs[sec])

    def snapshot(self, sec):
        t = self.txs[sec][-1]
        return t.new_cost, t.new_k5 / 100000

    def add(self, sec, date, typ, af=0.0, df=0.0, scost=0, sshrs=0.0, chg_k5=0, chg_cost=0,
            price=0.0, fmv=0.0):
        """Append one transaction and compute it. scost: currency (stored); sshrs: double."""
        txs = self.txs[sec]
        n = len(txs) + 1
        if n < 2:
            prevS, prevC, prev = 0.0, 0, None
        else:
            prev = txs[-1]
            prevS, prevC = prev.new_k5 / 100000, prev.new_cost
        SC = cur_round(scost, 2)            # SourceCost get
        SS = round_d(sshrs, 5)              # SourceShrs get
        chgS, chgC = 0.0, 0
        X = Tx()
        if typ == BUY:
            chgS, chgC = chg_k5 / 100000, chg_cost
        elif typ == SELL:
            if n >= 2:
                chgS = chg_k5 / 100000
                prevCPS = cur_to_d(prev.cps4)
                chgC = to_cur(prevCPS * chgS)
        elif typ == SPLIT:
            chgS = df * prevS if n >= 2 else 0.0
        elif typ == SPIN_OLD:
            chgS = df * SS
            chgC = cur_round(to_cur(cur_to_d(SC) * af), 2)
        elif typ == SPIN_NEW:
            chgS = df * SS
            chgC = to_cur(cur_to_d(SC) * af)
        elif typ == ACQ_OLD:
            chgS = df * prevS
            chgC = cur_mul(prevC, to_cur(af))
        elif typ == ACQ_NEW:
            chgS = df * SS
            chgC = cur_mul(SC, to_cur(af))
        elif typ == CASH_OR_STK:
            chgS = df * SS
            cash = to_cur(round_d(price, 5) * SS)
            cashg = cur_round(cash, 2)
            fmvs = cur_round(to_cur(fmv * chgS), 2)
            realized = cashg + fmvs - SC
            if realized > 100:
                recog = cashg if cashg < realized else realized
            else:
                recog = 0
            X.cash, X.realized, X.recog = cashg, cur_round(realized, 2), cur_round(recog, 2)
            chgC = SC + X.recog - X.cash
        X.date, X.typ = date, typ
        X.new_k5 = k_of(prevS + chgS, 5)
        X.new_cost = cur_round(prevC + chgC, 2)
        X.chg_k5 = k_of(chgS, 5)
        X.chg_cost = cur_round(chgC, 2)
        shares = X.new_k5 / 100000
        if shares <= 0.5:
            X.cps4 = 0
        else:
            X.cps4 = hdiv(k_of(cur_to_d(X.new_cost) / shares, 5), 10)
        txs.append(X)
        return X

    def csv(self, stop):
        out = ["security,date,description,shares_change,basis_change,shares,basis,basis_per_share,"
               "cash_received,gain_realized,gain_recognized"]
        for sec in NAMES:
            for t in self.txs[sec]:
                if t.date > stop:
                    continue
                row = [sec, iso(t.date), DESC[t.typ], fmt_int(t.chg_k5, 5), cur_text(t.chg_cost),
                       fmt_int(t.new_k5, 5), cur_text(t.new_cost), fmt_int(t.cps4 * 10, 5)]
                if t.typ == CASH_OR_STK:
                    row += [cur_text(t.cash), cur_text(t.realized), cur_text(t.recog)]
                else:
                    row += ["", "", ""]
                out.append(",".join(row))
        return "".join(l + "\r\n" for l in out)

# ---------------------------------------------------------------- lots

class Lot:
    __slots__ = ("date", "shares", "basis", "seq")

    def __init__(self, date, shares, basis, seq):
        self.date, self.shares, self.basis, self.seq = date, shares, basis, seq


class Arith:
    def __init__(self, mode):
        self.mode = mode

    def c(self, literal):
        return Fraction(literal) if self.mode == "exact" else float(literal)

    def k5(self, k):
        return Fraction(k, 100000) if self.mode == "exact" else k / 100000

    def cents(self, c4):  # currency (ten-thousandths) -> number
        return Fraction(c4, 10000) if self.mode == "exact" else c4 / 10000

    def zero(self):
        return Fraction(0) if self.mode == "exact" else 0.0

    def rnd(self, x, n):
        """x -> integer of units 10^-n, ties to even."""
        if self.mode == "exact":
            return round(x * 10 ** n)
        return nearbyint(x * float(10 ** n))


class Part:
    __slots__ = ("date", "shares", "basis")

    def __init__(self, date, shares, basis):
        self.date, self.shares, self.basis = date, shares, basis


class Disp:
    """a disposition: security shown, date sold, kind, parts, proceeds (cents int or None),
    fifo basis from parts, average basis (cents int) from the pool."""

    def __init__(self, sec, date_sold, kind, parts, proceeds, avg_basis, walk_no,
                 fifo_fixed=None):
        self.sec, self.date_sold, self.kind, self.parts = sec, date_sold, kind, parts
        self.proceeds, self.avg_basis, self.walk_no = proceeds, avg_basis, walk_no
        self.fifo_fixed = fifo_fixed  # (proceeds cents, basis cents) of a merger block


class Walk:
    def __init__(self, inv, arith="exact"):
        self.inv = inv
        self.A = Arith(arith)
        self.pool = Pool()
        self.lots = {n: [] for n in NAMES}
        self.seq = 0
        self.disps = []

    # -- lots helpers
    def new_lot(self, sec, date, shares, basis):
        self.seq += 1
        self.lots[sec].append(Lot(date, shares, basis, self.seq))

    def order(self, sec):
        L = [l for l in self.lots[sec] if l.shares != 0]
        L.sort(key=lambda l: (l.date, l.seq))
        self.lots[sec] = L

    def disp(self, *a, **k):
        self.disps.append(Disp(*a, walk_no=len(self.disps), **k))

    # -- postings
    def buy(self, sec, e, day):
        self.pool.add(sec, day, BUY, chg_k5=e.k5, chg_cost=e.cost)
        A = self.A
        self.new_lot(sec, day, A.k5(e.k5), A.cents(e.cost))
        self.order(sec)

    def sell(self, sec, e, day):
        X = self.pool.add(sec, day, SELL, chg_k5=e.k5)
        if e.k5 == 0:
            return                       # a sell of 0 shares is no sale
        A = self.A
        n = A.k5(-e.k5)
        self.order(sec)
        parts = []
        left = n
        for L in self.lots[sec]:
            if left <= 0:
                break
            if L.shares <= left:
                parts.append(Part(L.date, L.shares, L.basis))
                left -= L.shares
                L.shares = A.zero()
                L.basis = A.zero()
            else:
                b = L.basis * left / L.shares
                parts.append(Part(L.date, left, b))
                L.basis = L.basis - b
                L.shares = L.shares - left
                left = A.zero()
        if left > 0:
            parts.append(Part(None, left, A.zero()))
        self.order(sec)
        self.disp(sec, day, "sell", parts, e.proceeds, -X.chg_cost)

    def split(self, sec, factor, day):
        self.pool.add(sec, day, SPLIT, af=0.0, df=float(factor))
        m = self.A.c("1") + self.A.c(factor)
        for L in self.lots[sec]:
            L.shares = L.shares * m
        self.order(sec)

    def spin(self, day, src, af_old, df_old, receivers, splitup=False):
        P = self.pool
        if P.count(src) == 0:
            return
        SC, SS = P.snapshot(src)
        P.add(src, day, SPIN_OLD, af=float(af_old), df=float(df_old), scost=SC, sshrs=SS)
        for rec, af, df in receivers:
            P.add(rec, day, SPIN_NEW, af=float(af), df=float(df), scost=SC, sshrs=SS)
        A = self.A
        self.order(src)
        src_lots = list(self.lots[src])
        f = A.zero()
        for rec, af, df in receivers:
            fi, ri = A.c(af), A.c(df)
            f = f + fi
            for L in src_lots:
                self.new_lot(rec, L.date, ri * L.shares, fi * L.basis)
            self.order(rec)
        if splitup:
            self.lots[src] = []
        else:
            keep = A.c("1") - f
            for L in src_lots:
                L.basis = keep * L.basis

    def acquire(self, day, src, dst, r, reclass=False):
        P = self.pool
        if P.count(src) == 0:
            return
        SC, SS = P.snapshot(src)
        if reclass:
            P.add(src, day, ACQ_NEW, af=-1.0, df=-1.0, scost=SC, sshrs=SS)
        else:
            P.add(src, day, ACQ_OLD, af=-1.0, df=-1.0, scost=SC, sshrs=SS)
        P.add(dst, day, ACQ_NEW, af=1.0, df=float(r), scost=SC, sshrs=SS)
        A = self.A
        self.order(src)
        rr = A.c(r)
        for L in self.lots[src]:
            self.new_lot(dst, L.date, rr * L.shares, L.basis)
        self.lots[src] = []
        self.order(dst)

    def closeout(self, day, src, worthless=False):
        P = self.pool
        if P.count(src) == 0:
            return
        SC, SS = P.snapshot(src)
        X = P.add(src, day, ACQ_OLD, af=-1.0, df=-1.0, scost=SC, sshrs=SS)
        self.order(src)
        lots = self.lots[src]
        self.lots[src] = []
        if not lots:
            return
        parts = [Part(L.date, L.shares, L.basis) for L in lots]
        if worthless:
            self.disp(src, D(day.year, 12, 31), "worthless", parts, 0, -X.chg_cost)
        else:
            self.disp(src, day, "close-out", parts, None, -X.chg_cost)

    def lumora(self, day):
        P = self.pool
        src = "Lumora"
        if P.count(src) == 0:
            return
        SC, SS = P.snapshot(src)
        P.add(src, day, ACQ_OLD, af=-1.0, df=-1.0, scost=SC, sshrs=SS)
        el = self.inv["lumora"]
        table = {1: ("0.95", 362700), 2: ("1.4912", 85000), 3: ("0.8955", 390600)}
        if el in table:
            r_lit, p_cur = table[el]
            df, price = float(r_lit), p_cur / 10000
        else:
            r_lit, p_cur, df, price = "0", 0, 0.0, 0.0
        X = P.add("Quorvex", day, CASH_OR_STK, df=df, scost=SC, sshrs=SS, price=price, fmv=33.8125)
        A = self.A
        self.order(src)
        lots = self.lots[src]
        self.lots[src] = []
        if el not in table:
            return
        r = A.c(r_lit)
        p = A.cents(p_cur)
        fmv = A.c("33.8125")
        blocks = []
        for L in lots:
            cash = p * L.shares
            stock = fmv * r * L.shares
            realized = cash + stock - L.basis
            recog = (cash if cash < realized else realized) if realized > 0 else A.zero()
            self.new_lot("Quorvex", L.date, r * L.shares, L.basis - cash + recog)
            blocks.append((L, cash, recog))
        self.order("Quorvex")
        # fifo: one disposition per block with cash > 0
        self.fifo_merger = []
        for L, cash, recog in blocks:
            if cash > 0:
                pr = A.rnd(cash, 2)
                bs = A.rnd(cash - recog, 2)
                self.fifo_merger.append(Disp(src, day, "merger cash",
                                             [Part(L.date, L.shares, L.basis)], pr * 100, None,
                                             0, fifo_fixed=(pr, bs)))
        # average: one disposition for the whole holding when the pool's cash is above 0.00
        avg = None
        if X.cash > 0 and lots:
            avg = Disp(src, day, "merger cash", [Part(L.date, L.shares, L.basis) for L in lots],
                       X.cash, X.cash - X.recog, 0)
        self.disps.append(("MERGER", self.fifo_merger, avg))

    def distribution(self, day):
        P = self.pool
        if P.count("Vantrel") == 0:
            return
        _, SS = P.snapshot("Vantrel")
        df = 0.263001
        scost = to_cur((481150 / 10000) * (df * SS))
        P.add("Meridane", day, ACQ_NEW, af=1.0, df=df, scost=scost, sshrs=SS)
        A = self.A
        self.order("Vantrel")
        r, k = A.c("0.263001"), A.c("48.115")
        for L in self.lots["Vantrel"]:
            self.new_lot("Meridane", day, r * L.shares, k * r * L.shares)
        self.order("Meridane")

    def ksn_qvx(self, day):
        P = self.pool
        A = self.A
        if P.count("Quorvex") > 0:
            SC, SS = P.snapshot("Quorvex")
            P.add("Quorvex", day, ACQ_NEW, af=0.0, df=-0.22058, scost=SC, sshrs=SS)
            m = A.c("1") + A.c("-0.22058")
            for L in self.lots["Quorvex"]:
                L.shares = L.shares * m
            self.order("Quorvex")
        self.acquire(day, "KSN Communications", "Quorvex", "1.0")

    # -- the schedule
    def events(self, day):
        ev = SCHEDULE.get(day)
        if not ev:
            return
        for a in ev:
            a(self, day)

    def run(self):
        inv = self.inv
        start, stop = inv["start"], inv["stop"]
        days = set()
        for name in NAMES:
            for e in inv["entries"][name]:
                if e.date is None:
                    raise ValueError("entry without a date")
                days.add(e.date)
        days |= set(SCHEDULE)
        last = max(stop, start)
        for day in sorted(d for d in days if start <= d <= last):
            if day > stop and day != start:
                continue
            for name in NAMES:
                ents = inv["entries"][name]
                for e in ents:
                    if e.date == day and e.k5 > 0:
                        self.buy(name, e, day)
                for e in ents:
                    if e.date == day and e.k5 <= 0:
                        self.sell(name, e, day)
            self.events(day)

    # -- rows
    def rows(self, method, year=None):
        A = self.A
        out = []
        flat = []
        for d in self.disps:
            if isinstance(d, tuple):
                _, fifo_blocks, avg = d
                if method == "fifo":
                    flat.extend(fifo_blocks)
                elif avg is not None:
                    flat.append(avg)
            else:
                flat.append(d)
        # stable sort by date sold keeps the walk's order on one date
        flat = sorted(flat, key=lambda d: d.date_sold)
        for d in flat:
            if year is not None and d.date_sold.year != year:
                continue
            groups = {"short": [], "long": [], "": []}
            for p in d.parts:
                if p.date is None:
                    groups[""].append(p)
                elif d.date_sold > anniversary(p.date):
                    groups["long"].append(p)
                else:
                    groups["short"].append(p)
            rows = []
            for term in ("short", "long", ""):
                ps = groups[term]
                if not ps:
                    continue
                sh = sum((p.shares for p in ps), A.zero())
                bs = sum((p.basis for p in ps), A.zero())
                dates = {p.date for p in ps}
                if term == "":
                    acq, box = "", ""
                else:
                    acq = iso(ps[0].date) if len(dates) == 1 else "VARIOUS"
                    earliest = min(dates)
                    covered = earliest >= D(2011, 1, 1)
                    box = ("A" if covered else "B") if term == "short" else ("D" if covered else "E")
                rows.append([term, sh, bs, acq, box])
            total = sum((r[1] for r in rows), A.zero())

            def share(amount_cents):
                res = []
                acc = 0
                for i, r in enumerate(rows):
                    if i == len(rows) - 1:
                        res.append(amount_cents - acc)
                    else:
                        v = A.rnd(A.cents(amount_cents * 100) * r[1] / total, 2)
                        res.append(v)
                        acc += v
                return res

            if d.fifo_fixed is not None and method == "fifo":
                proceeds = [d.fifo_fixed[0]]
                bases = [d.fifo_fixed[1]]
            else:
                proceeds = None if d.proceeds is None else share(d.proceeds // 100)
                if method == "fifo":
                    bases = [A.rnd(r[2], 2) for r in rows]
                else:
                    bases = share(d.avg_basis // 100)
            for i, r in enumerate(rows):
                term, sh, bs, acq, box = r
                b = bases[i]
                if proceeds is None:
                    pr_t, gain_t = "", ""
                else:
                    pr_t = fmt_int(proceeds[i], 2)
                    gain_t = fmt_int(proceeds[i] - b, 2)
                out.append(",".join([d.sec, fmt_int(A.rnd(sh, 5), 5), acq, iso(d.date_sold), pr_t,
                                     fmt_int(b, 2), "", "", gain_t, term, box, d.kind, method]))
        head = ("security,shares,date_acquired,date_sold,proceeds,basis,adjustment_code,adjustment,"
                "gain,term,box,kind,method")
        return "".join(l + "\r\n" for l in [head] + out)


def _spin(src, af, recs, splitup=False):
    return lambda w, d: w.spin(d, src, af, "-1.0" if splitup else "0", recs, splitup)


def _acq(src, dst, r, reclass=False):
    return lambda w, d: w.acquire(d, src, dst, r, reclass)


def _split(sec, f):
    return lambda w, d: w.split(sec, f, d)


def _close(src, worthless=False):
    return lambda w, d: w.closeout(d, src, worthless)


SCHEDULE = {
    D(1983, 12, 31): [_spin("Quorvex", "-0.715", [
        ("Orvanta", "0.1033", "0.1"), ("Tessaline", "0.1049", "0.1"), ("Dunmarrow", "0.1353", "0.1"),
        ("Halvern", "0.0984", "0.1"), ("Corvallan", "0.0888", "0.1"),
        ("KSN Communications", "0.0949", "0.1"), ("Altamor", "0.0894", "0.1")])],
    D(1984, 5, 22): [_split("Dunmarrow", "2.0")],
    D(1986, 4, 17): [_split("Tessaline", "1.0")],
    D(1986, 5, 1): [_split("Halvern", "1.0")],
    D(1986, 5, 9): [_split("Altamor", "1.0")],
    D(1986, 6, 9): [_split("Corvallan", "1.0")],
    D(1987, 1, 26): [_split("Orvanta", "0.5")],
    D(1987, 2, 23): [_split("Dunmarrow", "0.5")],
    D(1987, 3, 25): [_split("Corvallan", "1.0")],
    D(1987, 5, 22): [_split("KSN Communications", "2.0")],
    D(1989, 1, 26): [_split("Orvanta", "1.0")],
    D(1990, 4, 19): [_split("Altamor", "1.0")],
    D(1990, 5, 1): [_split("Tessaline", "1.0")],
    D(1993, 5, 25): [_split("KSN Communications", "1.0")],
    D(1993, 9, 15): [_split("Halvern", "1.0")],
    D(1994, 1, 24): [_split("Orvanta", "1.0")],
    D(1994, 4, 1): [_spin("Corvallan", "-0.3983", [("Skyvell Communications", "0.3983", "1.0")])],
    D(1995, 11, 1): [_spin("Altamor", "-1.0", [("Lumora", "0.4018", "1.0"),
                                               ("Altamor Communications", "0.5982", "1.0")], True)],
    D(1995, 11, 8): [_split("Dunmarrow", "1.0")],
    D(1996, 9, 30): [_spin("Quorvex", "-0.2799", [("Ferrant Technologies", "0.2799", "0.324084")])],
    D(1996, 12, 31): [_spin("Quorvex", "-0.0477", [("TBN", "0.0477", "0.0625")])],
    D(1997, 4, 1): [_acq("Corvallan", "KSN Communications", "0.73145")],
    D(1997, 8, 14): [_acq("Halvern", "Tessaline", "0.768")],
    D(1998, 1, 26): [_split("Orvanta", "1.0")],
    D(1998, 3, 19): [_split("KSN Communications", "1.0")],
    D(1998, 4, 2): [_split("Ferrant Technologies", "1.0")],
    D(1998, 6, 12): [_spin("Lumora", "-0.0374", [("Altamor Communications", "0.0374", "0.02731")])],
    D(1998, 6, 29): [_split("Tessaline", "1.0")],
    D(1998, 12, 24): [_split("Dunmarrow", "1.0")],
    D(1999, 4, 5): [_split("Ferrant Technologies", "1.0")],
    D(1999, 4, 15): [_split("Quorvex", "0.5")],
    D(1999, 6, 30): [_acq("Skyvell Communications", "Vantrel", "0.5")],
    D(1999, 10, 4): [_split("Vantrel", "4.0")],
    D(1999, 10, 8): [_acq("Orvanta", "KSN Communications", "1.316")],
    D(2000, 6, 15): [lambda w, d: w.lumora(d)],
    D(2000, 6, 30): [_acq("Tessaline", "Meridane", "1.0"),
                     _acq("Altamor Communications", "Zephrin", "1.72932")],
    D(2000, 10, 2): [_spin("Ferrant Technologies", "-0.05476", [("Solvane", "0.05476", "0.08333")])],
    D(2001, 7, 9): [_spin("Quorvex", "-0.2234", [("Quorvex Wireless", "0.2234", "0.3218")])],
    D(2002, 6, 1): [_spin("Ferrant Technologies", "-0.182555", [
        ("Tellano Class A", "0.007136", "0.010779"), ("Tellano Class B", "0.175419", "0.264563")])],
    D(2002, 11, 18): [_spin("Quorvex", "-0.626", [("Brantel", "0.626", "0.3235")]),
                      _split("Quorvex", "-0.8")],
    D(2004, 12, 30): [_close("Quorvex Wireless")],
    D(2005, 1, 21): [_split("TBN", "1.0")],
    D(2005, 5, 27): [_acq("Tellano Class A", "Tellano after 5-27-05", "1.0", True),
                     _acq("Tellano Class B", "Tellano after 5-27-05", "1.0", True)],
    D(2005, 5, 28): [_split("Tellano after 5-27-05", "-0.9")],
    D(2005, 11, 18): [lambda w, d: w.ksn_qvx(d)],
    D(2006, 7, 31): [_split("Vantrel", "-0.125")],
    D(2006, 11, 20): [_spin("Meridane", "-0.03666", [("Dirvana", "0.03666", "0.05")])],
    D(2006, 12, 1): [_acq("Ferrant Technologies", "Marquon-Ferrant", "0.1952", True)],
    D(2006, 12, 29): [_acq("Dunmarrow", "Quorvex", "1.325", True)],
    D(2007, 2, 21): [_split("Brantel", "0.5")],
    D(2007, 4, 2): [_acq("Tellano after 5-27-05", "CRN Logic", "2.16", True)],
    D(2007, 9, 14): [_spin("TBN", "-0.5237", [("Kaldera Corp", "0.5237", "1.0")])],
    D(2007, 12, 30): [_close("Solvane")],
    D(2008, 3, 7): [_spin("Meridane", "-0.00463", [("Hollin Comm", "0.00463", "0.018859")])],
    D(2010, 1, 1): [_close("Dirvana", True)],
    D(2010, 7, 1): [_spin("Meridane", "-0.06201", [("Ravensby Comm", "0.06201", "0.24004")])],
    D(2011, 4, 1): [_acq("Zephrin", "Aldamark", "0.1664", True)],
    D(2014, 2, 24): [lambda w, d: w.distribution(d), _split("Vantrel", "-0.4545454545")],
    D(2016, 1, 1): [_close("CRN Logic")],
    D(2016, 1, 2): [_close("Hollin Comm")],
    D(2016, 1, 6): [_acq("Marquon-Ferrant", "Vesterholm Corporation", "0.55", True)],
    D(2017, 2, 17): [_split("Brantel", "1.0")],
    D(2017, 5, 10): [_split("Ravensby Comm", "-0.933333333333")],
}


def main(argv):
    import argparse
    ap = argparse.ArgumentParser()
    ap.add_argument("qvx")
    ap.add_argument("--sales")
    ap.add_argument("--csv")
    ap.add_argument("--taxyear", type=int)
    ap.add_argument("--method", default="fifo", choices=["fifo", "average"])
    ap.add_argument("--arith", default="exact", choices=["exact", "double"])
    a = ap.parse_args(argv)
    inv = load(a.qvx)
    w = Walk(inv, a.arith)
    w.run()
    if a.csv:
        open(a.csv, "w", newline="").write(w.pool.csv(inv["stop"]))
    if a.sales:
        open(a.sales, "w", newline="").write(w.rows(a.method, a.taxyear))
    if not a.csv and not a.sales:
        sys.stdout.write(w.rows(a.method, a.taxyear))


if __name__ == "__main__":
    main(sys.argv[1:])
