#!/usr/bin/env bash
# Times the batch run of tvxdesk as a whole process, with no display.
#
# Usage: bench/batch_run.sh [BUILD_DIR]     (default: build; use a Release build for figures)
#
# Runs `tvxdesk /silent /input FILE.qvx /output FILE.txt` on
#   1. examples/smith.qvx, the typical example investor, and
#   2. a generated heavy investor: all 30 securities with 1,000 buys and sells each,
# and reports wall time with hyperfine when it is installed, and wall time and
# peak memory (maximum resident set size) with /usr/bin/time -v.
# Targets: typical under 30 ms and 30 MB; heavy under 1 s.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
DESK="$BUILD/bin/tvxdesk"
[ -x "$DESK" ] || { echo "no $DESK: build first (cmake --build $BUILD)" >&2; exit 2; }
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# The heavy investor (and the others make_investors.sh writes).
"$ROOT/bench/make_investors.sh" "$WORK"
HEAVY="$WORK/heavy.qvx"

run_once() { rm -f "$WORK/out.txt"; "$DESK" /silent /input "$1" /output "$WORK/out.txt"; }

for case in "typical:$ROOT/examples/smith.qvx" "heavy:$HEAVY"; do
  label="${case%%:*}"; file="${case#*:}"
  run_once "$file" || { echo "batch run failed on $file" >&2; exit 1; }
  echo "== $label: $(wc -c < "$WORK/out.txt") bytes of reports"
  if command -v hyperfine > /dev/null; then
    hyperfine -N --warmup 3 --runs 20 --prepare "rm -f $WORK/out.txt" \
      "$DESK /silent /input '$file' /output $WORK/out.txt"
  fi
  if [ -x /usr/bin/time ]; then
    rm -f "$WORK/out.txt"
    /usr/bin/time -v "$DESK" /silent /input "$file" /output "$WORK/out.txt" 2>&1 \
      | grep -E "Elapsed \(wall clock\)|Maximum resident set size"
  fi
done
