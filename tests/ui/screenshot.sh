#!/usr/bin/env bash
# Starts the window on a virtual display with a CJK font and takes a screenshot
# before and after a run over a small sample tree.
#   tests/ui/screenshot.sh BIN_FOLDER OUTPUT_FOLDER
set -euo pipefail
bin=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fc-list :lang=zh | grep -q . || { echo "no CJK font installed" >&2; exit 1; }
cd "$work"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" "$bin/window_screenshot" "$out"
for f in window-before.png window-after.png; do
  [ -s "$out/$f" ] || { echo "missing $f" >&2; exit 1; }
done
echo "screenshots in $out"
