#!/usr/bin/env bash
# Times the batch run on the heavy investor (30 securities x 1,000 entries)
# with and without the sales file, in one hyperfine run, and checks that
# /sales costs at most half as much again as the run without it (1.5x).
#
# Usage: bench/sales_run.sh [BUILD_DIR]     (default: build; use a Release build for figures)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
DESK="$BUILD/bin/tvxdesk"
[ -x "$DESK" ] || { echo "no $DESK: build first (cmake --build $BUILD)" >&2; exit 2; }
command -v hyperfine > /dev/null || { echo "hyperfine is needed" >&2; exit 2; }
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
"$ROOT/bench/make_investors.sh" "$WORK"
HEAVY="$WORK/heavy.qvx"

"$DESK" /silent /input "$HEAVY" /output "$WORK/out.txt" /sales "$WORK/sales.csv"
echo "== heavy: $(($(wc -l < "$WORK/sales.csv") - 1)) sales rows"

hyperfine -N --warmup 3 --runs 20 --prepare "rm -f $WORK/out.txt $WORK/sales.csv" \
  --export-json "$WORK/times.json" \
  -n "without /sales" "$DESK /silent /input $HEAVY /output $WORK/out.txt" \
  -n "with /sales" "$DESK /silent /input $HEAVY /output $WORK/out.txt /sales $WORK/sales.csv"

python3 - "$WORK/times.json" <<'PY'
import json, sys
runs = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
ratio = runs["with /sales"] / runs["without /sales"]
print(f"with /sales / without: {ratio:.2f} (limit 1.50)")
sys.exit(0 if ratio <= 1.5 else 1)
PY
