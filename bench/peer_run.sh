#!/usr/bin/env bash
# Whole-process timings of the batch run against peers, each pair timed by
# tvx_alternate (bench/timing/alternate_runs.cpp), the two programs taking
# turns run by run, so that both see the same minutes and the same load:
#   heavy    tvxdesk /silent on 30 securities x 1,000 entries, against
#            `hledger bal` on the same buys and sells written as a journal
#   largest  tvxdesk /silent on 32,767 entries in one security, alone
#   typical  tvxdesk /silent on examples/smith.qvx, against tvx_trivial, a
#            program that does nothing linked to the same libraries
# and prints the medians, the ratios and the batch run's peak memory, then
# the batch run's minor page faults, peak and instructions for each case.
#
# Usage: bench/peer_run.sh [BUILD_DIR]   (default build-release, a Release build
#        with the tvxdesk, tvx_trivial and tvx_alternate targets); RUNS=n sets
#        the runs per command (default 30, at least 20); the typical pair,
#        a hundred times shorter, takes ten times as many.
# Needs hledger and /usr/bin/time (build.sh installs them); the instruction
# counts need perf where the machine counts them, else valgrind.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build-release}"
RUNS="${RUNS:-30}"
DESK="$BUILD/bin/tvxdesk"
TRIVIAL="$BUILD/bin/tvx_trivial"
ALTERNATE="$BUILD/bin/tvx_alternate"
for tool in "$DESK" "$TRIVIAL" "$ALTERNATE"; do
  [ -x "$tool" ] || { echo "no $tool: build first (cmake --build $BUILD --target tvxdesk tvx_trivial tvx_alternate)" >&2; exit 2; }
done
for tool in hledger /usr/bin/time; do
  command -v "$tool" > /dev/null || { echo "$tool is missing (./build.sh installs it)" >&2; exit 2; }
done
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
"$ROOT/bench/make_investors.sh" "$WORK"
cp "$ROOT/examples/smith.qvx" "$WORK/typical.qvx"
OUT="$WORK/out.txt"

batch() { echo "$DESK /silent /input $WORK/$1.qvx /output $OUT"; }

# median wall time, and mean user + system CPU time, of the named command in
# tvx_alternate's CSV file (seconds); on a shared machine the CPU time is the steadier
median() { awk -F, -v c="$2" 'NR > 1 && $1 == c { print $4 }' "$1"; }
cpu() { awk -F, -v c="$2" 'NR > 1 && $1 == c { print $5 + $6 }' "$1"; }
ms() { awk -v s="$1" 'BEGIN { printf "%.1f ms", s * 1000 }'; }

# Sanity: both programs read the data without error.
rm -f "$OUT"; $(batch heavy)
hledger bal -f "$WORK/heavy.journal" > /dev/null

run() {  # run NAME RUNS COMMAND...
  local name=$1 runs=$2; shift 2
  "$ALTERNATE" "$runs" "$WORK/$name.csv" --remove "$OUT" "$@" >&2
}

run heavy "$RUNS" "$(batch heavy)" "hledger bal -f $WORK/heavy.journal"
run largest "$RUNS" "$(batch largest)"
run typical "$((RUNS * 10))" "$(batch typical)" "$TRIVIAL"

heavyCpu=$(cpu "$WORK/heavy.csv" "$(batch heavy)")
hledgerCpu=$(cpu "$WORK/heavy.csv" "hledger bal -f $WORK/heavy.journal")
largestCpu=$(cpu "$WORK/largest.csv" "$(batch largest)")
typicalCpu=$(cpu "$WORK/typical.csv" "$(batch typical)")
trivialCpu=$(cpu "$WORK/typical.csv" "$TRIVIAL")
heavy=$(median "$WORK/heavy.csv" "$(batch heavy)")
hledger=$(median "$WORK/heavy.csv" "hledger bal -f $WORK/heavy.journal")
largest=$(median "$WORK/largest.csv" "$(batch largest)")
typical=$(median "$WORK/typical.csv" "$(batch typical)")
trivial=$(median "$WORK/typical.csv" "$TRIVIAL")

peak() { rm -f "$OUT"; /usr/bin/time -f %M $(batch "$1") 2>&1 >/dev/null | tail -1 | awk '{ printf "%.1f MB", $1 / 1024 }'; }

# What costs the same on every machine: minor page faults and peak resident
# size (/usr/bin/time), and instructions (perf where it counts, else callgrind).
counts() {
  rm -f "$OUT"
  local faults instructions
  faults=$(/usr/bin/time -f '%R %M' $(batch "$1") 2>&1 >/dev/null | tail -1 |
    awk '{ printf "%d page faults, peak %.1f MB", $1, $2 / 1024 }')
  rm -f "$OUT"
  instructions=$(perf stat -x, -e instructions $(batch "$1") 2>&1 >/dev/null | awk -F, '/instructions/ && $1 ~ /^[0-9]+$/ { print $1 }')
  if [ -z "$instructions" ] && command -v valgrind > /dev/null; then
    rm -f "$OUT"
    instructions=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null $(batch "$1") 2>&1 >/dev/null |
      awk '/Collected :/ { print $NF }')
  fi
  if [ -n "$instructions" ]; then
    echo "$faults, $(awk -v n="$instructions" 'BEGIN { printf "%.1f M", n / 1e6 }') instructions"
  else
    echo "$faults"
  fi
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

echo
echo "Medians of $RUNS runs (typical: $((RUNS * 10))), whole process (in brackets: mean CPU time, user + system):"
echo "  heavy    tvxdesk $(ms "$heavy") [$(ms "$heavyCpu")]   hledger bal $(ms "$hledger") [$(ms "$hledgerCpu")]" \
  "  hledger/tvxdesk $(ratio "$hledger" "$heavy")x [$(ratio "$hledgerCpu" "$heavyCpu")x]   peak $(peak heavy)"
echo "  largest  tvxdesk $(ms "$largest") [$(ms "$largestCpu")]   peak $(peak largest)"
echo "  typical  tvxdesk $(ms "$typical") [$(ms "$typicalCpu")]   trivial program $(ms "$trivial") [$(ms "$trivialCpu")]" \
  "  tvxdesk/trivial $(ratio "$typical" "$trivial")x [$(ratio "$typicalCpu" "$trivialCpu")x]   peak $(peak typical)"
echo
echo "Pages and instructions of the batch run:"
for name in heavy largest typical; do printf '  %-8s %s\n' "$name" "$(counts "$name")"; done
