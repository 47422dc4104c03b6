#!/usr/bin/env bash
# The map view's screenshot for the README (docs/map.png): the points of
# examples/wgs84_dms.txt and of examples/zone6.txt (with one more "42(zone6)"
# point just east of the zone) converted to Krasovsky latitude/longitude by
# korvagrid-cli, shown by korvagrid_map_demo under Xvfb with P1 selected.
# Usage: tests/map/screenshot.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cli=$build/app/cli/korvagrid-cli
demo=$build/tests/map/korvagrid_map_demo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name latitude longitude [zone of the point's system]
{
  "$cli" convert --from WGS-84 --to "BLH(Kras)" --in-layout name --out-layout name \
    --out-angles decimal examples/wgs84_dms.txt | tr -d '\r' |
    awk 'NF { print $1, $2, $3; next } { print "" }'
  { cat examples/zone6.txt; printf '6150000.000 6700000.000 140.000\r\n'; } |
    "$cli" convert --from "42(zone6)" --to "BLH(Kras)" --out-angles decimal - | tr -d '\r' |
    awk 'NF { print "Z" ++n, $1, $2, 6; next } { print "" }'
} > "$work/points.txt"

xvfb-run -a -s "-screen 0 1100x760x24" bash -c "
  '$demo' show '$work/points.txt' --highlight 1 &
  sleep 3
  import -window root docs/map.png
  kill \$!
"
echo "docs/map.png written"
