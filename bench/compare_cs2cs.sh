#!/usr/bin/env bash
# korvagrid-cli against PROJ's cs2cs on the same million-point list, side by
# side: the two commands run in turn, RUNS times each, and the medians of
# their wall-clock times give the ratio (the machine is shared, so only the
# ratio of commands measured together means something).
#   bench/compare_cs2cs.sh [LINES] [RUNS]     (default 1000000 lines, 5 runs)
#   KORVAGRID_CLI=path/to/korvagrid-cli bench/compare_cs2cs.sh   (another build)
#
# Forward: a "42(zone6)" list (X Y H) to "WGS-84" in gg°mm'ss.sssss; cs2cs
# runs the same chain, Gauss–Krüger zone 6 on the Krasovsky ellipsoid with
# the SK-42 → WGS-84 parameters of src/geodesy/datum_shift.h written as
# +towgs84 (position-vector convention), to WGS-84 latitude/longitude in
# degrees, minutes and seconds with five decimals.
# Backward: the same kind of list the other way, WGS-84 degree-minute-second
# lines to "42(zone6)" plane coordinates (cs2cs reads the same numbers with
# its own "d" degree mark).
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-1000000}
runs=${2:-5}

if ! command -v cs2cs >/dev/null; then
  echo "compare_cs2cs: cs2cs not found (Debian package proj-bin): comparison skipped"
  exit 0
fi
cli=${KORVAGRID_CLI:-build/app/cli/korvagrid-cli}
[[ -x $cli ]] || scripts/build.sh >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[[ -n ${KEEP_WORK:-} ]] && trap 'echo "work files kept in $work"' EXIT

towgs84="+towgs84=26.3,-132.6,-76.3,0.22,0.4,0.9,-0.12"
zone6="+proj=tmerc +lat_0=0 +lon_0=33 +k=1 +x_0=6500000 +y_0=0 +ellps=krass $towgs84"
wgs84="+proj=longlat +datum=WGS84"

# Points spread over 200 km × 200 km of zone 6, with heights, CR LF line ends.
awk -v n="$lines" 'BEGIN { srand(42); for (i = 0; i < n; i++)
  printf "%.3f %.3f %.3f\r\n", 6100000 + rand() * 200000, 6400000 + rand() * 200000, 100 + rand() * 100 }' \
  > "$work/zone6.txt"
# WGS-84 points over zone 6 as degree-minute-second lines, and the same
# numbers in cs2cs's notation.
awk -v n="$lines" 'BEGIN { srand(43); for (i = 0; i < n; i++) {
  b = int((54 + rand() * 4) * 360000000); l = int((30.5 + rand() * 5) * 360000000);
  printf "%d %d %d %d %d %d %.3f\n", b / 360000000, b / 6000000 % 60, b % 6000000,
         l / 360000000, l / 6000000 % 60, l % 6000000, 100 + rand() * 100 } }' |
  tee >(awk '{ printf "%d\xC2\xB0%02d\x27%08.5f\" %d\xC2\xB0%02d\x27%08.5f\" %s\r\n", $1, $2, $3 / 100000, $4, $5, $6 / 100000, $7 }' \
          > "$work/wgs84.txt") |
  awk '{ printf "%dd%d\x27%.5f\"N %dd%d\x27%.5f\"E %s\n", $1, $2, $3 / 100000, $4, $5, $6 / 100000, $7 }' \
  > "$work/wgs84_cs2cs.txt"
sleep 1  # let the process substitution finish its file

# Runs "$@" once; prints "wall_seconds peak_kB".
measure() {
  local start=$EPOCHREALTIME
  /usr/bin/time -f "%M" -o "$work/time" "$@" >/dev/null 2>"$work/stderr" ||
    { cat "$work/stderr" >&2; return 1; }
  local end=$EPOCHREALTIME
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }') $(cat "$work/time")"
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

compare() {  # title, then the korvagrid command and the cs2cs command as strings
  local title=$1 ours=$2 theirs=$3
  : > "$work/ours" && : > "$work/theirs"
  for ((i = 1; i <= runs; i++)); do
    measure bash -c "$ours" >> "$work/ours"
    measure bash -c "$theirs" >> "$work/theirs"
  done
  local ow ok tw tk
  ow=$(cut -d' ' -f1 "$work/ours" | median); ok=$(cut -d' ' -f2 "$work/ours" | median)
  tw=$(cut -d' ' -f1 "$work/theirs" | median); tk=$(cut -d' ' -f2 "$work/theirs" | median)
  # The fastest run of each, the one least disturbed by other work on the
  # machine (which slows the two threads of korvagrid-cli more than the one
  # of cs2cs), as a second view of the same runs.
  local of tf
  of=$(cut -d' ' -f1 "$work/ours" | sort -g | head -1)
  tf=$(cut -d' ' -f1 "$work/theirs" | sort -g | head -1)
  echo "$title ($lines lines, median of $runs runs each, in turn)"
  printf "  korvagrid-cli  %7.3f s wall  %7d kB peak  (fastest %.3f s)\n" "$ow" "$ok" "$of"
  printf "  cs2cs          %7.3f s wall  %7d kB peak  (fastest %.3f s)\n" "$tw" "$tk" "$tf"
  awk -v a="$ow" -v b="$tw" -v c="$of" -v d="$tf" \
    'BEGIN { printf "  cs2cs / korvagrid-cli: %.1f (fastest runs: %.1f)\n", b / a, d / c }'
}

compare "42(zone6) -> WGS-84, gg°mm'ss.sssss" \
  "exec $cli convert --from '42(zone6)' --to WGS-84 '$work/zone6.txt' -o '$work/out1.txt'" \
  "exec cs2cs -r -s -w5 $zone6 +to $wgs84 '$work/zone6.txt' > '$work/out2.txt'"
compare "WGS-84 gg°mm'ss.sssss -> 42(zone6)" \
  "exec $cli convert --from WGS-84 --to '42(zone6)' '$work/wgs84.txt' -o '$work/out3.txt'" \
  "exec cs2cs -r -s -f %.3f $wgs84 +to $zone6 '$work/wgs84_cs2cs.txt' > '$work/out4.txt'"
