#!/usr/bin/env bash
# The map window's screenshot for the README (docs/map.png): the points of
# examples/zone6.txt, named, with one more "42(zone6)" point beyond the zone,
# opened in the main window, converted, and shown from "Tasks" → "Карта" by
# korvagrid_window_demo under Xvfb, with the cursor on the second point's line.
# Usage: tests/map/screenshot.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
demo=$build/tests/gui/korvagrid_window_demo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name X Y H; blank lines stay, so that line numbers are the file's.
{ cat examples/zone6.txt; printf '6150000.000 6760000.000 140.000\r\n'; } | tr -d '\r' |
  awk 'NF { printf "Пункт-%d %s\r\n", ++n, $0; next } { printf "\r\n" }' > "$work/points.txt"

xvfb-run -a -s "-screen 0 1000x680x24" bash -c "
  '$demo' map '$work/points.txt' 2 8 &
  sleep 5
  import -window root docs/map.png
  wait
"
echo "docs/map.png written"
