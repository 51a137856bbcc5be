#!/usr/bin/env bash
# Writes the bench investors as data files into DIR:
#   heavy.qvx     the example's General section, then every security of the
#                 example file with 1,000 entries (mostly buys, every fifth a sale)
#   largest.qvx   32,767 entries in "Quorvex" spread evenly over 12/31/1983 to
#                 12/31/2016, every seventh a sale (the most one security holds)
#   heavy.journal heavy's buys and sells as an hledger journal: shares in a
#                 commodity per security, a buy at its cost, a sale at none
#
# Usage: bench/make_investors.sh DIR
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
DIR="${1:?usage: make_investors.sh DIR}"
mkdir -p "$DIR"

awk 'BEGIN { RS = "\r\n" }
  /^\[General\]/ { general = 1 }
  /^\[/ && !/^\[General\]/ { general = 0; name = substr($0, 2, length($0) - 2); names[++n] = name }
  general && $0 != "" { printf "%s\r\n", $0 }
  END {
    for (s = 1; s <= n; ++s) {
      printf "\r\n[%s]\r\nCount=1000\r\n", names[s]
      for (i = 1; i <= 1000; ++i) {
        y = 1984 + int((i - 1) / 32); m = 1 + (i % 12); d = 1 + (i % 28)
        date = sprintf("%02d/%02d/%04d", m, d, y)
        if (i % 5 == 0) { shares = "-2.00000"; cost = "0.00" } else { shares = "10.00000"; cost = sprintf("%d.%02d", 100 + i, i % 100) }
        printf "%d Date=%s\r\n%d Shares=%s\r\n%d Cost=%s\r\n%d Code=%s-%d\r\n", i, date, i, shares, i, cost, i, date, i
      }
    }
  }' "$ROOT/examples/smith.qvx" > "$DIR/heavy.qvx"

# The same entries read back from heavy.qvx, so that both programs see one data set.
awk 'BEGIN { RS = "\r\n" }
  /^\[/ { sec = substr($0, 2, length($0) - 2); next }
  sec == "General" || $0 == "" || /^Count=/ { next }
  {
    sp = index($0, " "); eq = index($0, "="); key = substr($0, sp + 1, eq - sp - 1); val = substr($0, eq + 1)
    if (key == "Date") date = val
    else if (key == "Shares") shares = val
    else if (key == "Cost") {
      split(date, p, "/")
      gsub(/,/, "", val)
      printf "%s-%s-%s %s\n    assets:%s  %s \"%s\" @@ %s USD\n    assets:cash\n\n", p[3], p[1], p[2], (shares + 0 > 0 ? "buy" : "sell"), sec, shares, sec, val
    }
  }' "$DIR/heavy.qvx" > "$DIR/heavy.journal"

awk 'function civil(z,   era, doe, yoe, doy, mp, d, m, y) {
    z += 719468; era = int((z >= 0 ? z : z - 146096) / 146097); doe = z - era * 146097
    yoe = int((doe - int(doe / 1460) + int(doe / 36524) - int(doe / 146096)) / 365)
    y = yoe + era * 400; doy = doe - (365 * yoe + int(yoe / 4) - int(yoe / 100)); mp = int((5 * doy + 2) / 153)
    d = doy - int((153 * mp + 2) / 5) + 1; m = mp < 10 ? mp + 3 : mp - 9
    return sprintf("%02d/%02d/%04d", m, d, y + (m <= 2))
  }
  BEGIN {
    first = 5112; range = 12054; n = 32767   # 12/31/1983 in days since 1970; days to 12/31/2016
    printf "[General]\r\nVersion=QVX2017.10\r\nName=Largest\r\nLine 2=\r\nStart Date=12/31/1983\r\nStop Date=12/31/2016\r\nLumora=1\r\n\r\n[Quorvex]\r\nCount=%d\r\n", n
    for (i = 0; i < n; ++i) {
      date = civil(first + int(i * range / n)); k = i + 1
      if (i % 7 == 6) { shares = "-1"; cost = "0" } else { shares = "2.5"; cost = "55.55" }
      printf "%d Date=%s\r\n%d Shares=%s\r\n%d Cost=%s\r\n%d Code=%s-%d\r\n", k, date, k, shares, k, cost, k, date, k
    }
  }' > "$DIR/largest.qvx"
