#!/usr/bin/env bash
# Takes the screenshots of the desktop program shown in the README: the
# main window after printing to PDF, the start-up window, a Summary report
# window and the input window with its buy/sell list, as docs/main.png,
# docs/startup.png, docs/summary.png and docs/input.png.
#
#   docs/screenshots.sh [BUILD_DIR]      (default: build)
#
# Runs the program under a virtual X display (xvfb-run), with the example
# investor file and a home folder of its own, so no settings of the user
# are read or written.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${1:-build}
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
PROGRAM="$BUILD/bin/tvxdesk"
[ -x "$PROGRAM" ] || { echo "screenshots: $PROGRAM not built" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "screenshots: xvfb-run is missing (apt-get install xvfb xauth)" >&2; exit 1; }

WORK=/tmp/tallyvex-screenshots
rm -rf "$WORK"
mkdir -p "$WORK/home" "$WORK/shots" "$WORK/runtime"
chmod 700 "$WORK/runtime"
cp "$ROOT/examples/smith.qvx" "$WORK/home/smith.qvx"

# TVX_TODAY keeps the update reminder away; TVX_SCREENSHOT_DIR makes the
# program show the four windows, save them and end.
cd "$WORK/home"
env -u WAYLAND_DISPLAY HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" \
    XDG_DATA_HOME="$WORK/home/.local/share" XDG_RUNTIME_DIR="$WORK/runtime" \
    TVX_TODAY=2018-06-01 TVX_SCREENSHOT_DIR="$WORK/shots" QT_QPA_PLATFORM=xcb \
    timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$PROGRAM" /input "$WORK/home/smith.qvx"

for shot in main startup summary input; do
  [ -s "$WORK/shots/$shot.png" ] || { echo "screenshots: $shot.png was not made" >&2; exit 1; }
  cp "$WORK/shots/$shot.png" "$ROOT/docs/$shot.png"
done
echo "screenshots: docs/main.png docs/startup.png docs/summary.png docs/input.png"
