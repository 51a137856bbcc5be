#!/usr/bin/env bash
# View, Reports against the batch run on the same investor: the report
# windows of the Detailed and Summary reports built and their text set
# (offscreen), and the whole batch process writing the same two reports.
# The windows should come within 1.5 times the batch run's time.
#
# Usage: bench/report_windows.sh [BUILD_DIR]   (a Release build for figures)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
for f in tvxdesk report_windows_bench; do
  [ -x "$BUILD/bin/$f" ] || { echo "no $BUILD/bin/$f: build first" >&2; exit 2; }
done
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
"$ROOT/bench/make_investors.sh" "$WORK" >/dev/null

for case in "typical:$ROOT/examples/smith.qvx" "heavy:$WORK/heavy.qvx"; do
  label="${case%%:*}"; file="${case#*:}"
  best=""
  for _ in 1 2 3 4 5; do
    rm -f "$WORK/out.txt"
    start=$(date +%s%N)
    env -u DISPLAY -u WAYLAND_DISPLAY "$BUILD/bin/tvxdesk" /silent /input "$file" /output "$WORK/out.txt"
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    [ -z "$best" ] || [ "$ms" -lt "$best" ] && best=$ms
  done
  windows=$(QT_QPA_PLATFORM=offscreen "$BUILD/bin/report_windows_bench" "$file" 5)
  awk -v l="$label" -v b="$best" -v w="$windows" \
    'BEGIN { printf "%-8s batch run %5d ms   report windows %5d ms   ratio %.2f\n", l, b, w, (b > 0 ? w / b : 0) }'
done
