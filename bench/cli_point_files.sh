#!/usr/bin/env bash
# Times korvagrid-cli writing the same run as result text, CSV and
# GeoPackage, side by side: a generated list of named "42(zone6)" points with
# heights converted to WGS-84 (and to "42(zone6)" for the plane formats),
# the outputs interleaved round by round so the shared machine's load falls
# on all of them alike. Prints every round and the median wall time of each
# output with its ratio to the text of the same conversion.
#   bench/cli_point_files.sh [LINES] [ROUNDS]     (default 1000000 lines, 3 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-1000000}
rounds=${2:-3}
cli=${KORVAGRID_CLI:-build/app/cli/korvagrid-cli}
[[ -x $cli ]] || { echo "no $cli: build korvagrid-cli first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v n="$lines" 'BEGIN { srand(42); for (i = 0; i < n; i++)
  printf "P%d %.3f %.3f %.3f\r\n", i + 1, 6100000 + rand() * 200000, 6400000 + rand() * 200000, 100 + rand() * 100 }' \
  > "$work/list.txt"
echo "list: $lines named lines, $(du -h "$work/list.txt" | cut -f1)"

# name, target, output file ("-" for the text on standard output)
runs=(
  "text-wgs84 WGS-84 -"
  "csv-wgs84 WGS-84 out.csv"
  "gpkg-wgs84 WGS-84 out.gpkg"
  "text-zone6 42(zone6) -"
  "csv-zone6 42(zone6) out.csv"
  "gpkg-zone6 42(zone6) out.gpkg"
)
declare -A times
for ((round = 1; round <= rounds; round++)); do
  for run in "${runs[@]}"; do
    read -r name target output <<< "$run"
    rm -f "$work"/out.*
    if [[ $output == - ]]; then
      /usr/bin/time -f "%e" -o "$work/time" "$cli" convert --from "42(zone6)" --to "$target" \
        --in-layout name "$work/list.txt" > "$work/out.txt"
    else
      /usr/bin/time -f "%e" -o "$work/time" "$cli" convert --from "42(zone6)" --to "$target" \
        --in-layout name "$work/list.txt" -o "$work/$output"
    fi
    times[$name]+="$(cat "$work/time") "
  done
  echo "round $round: $(for run in "${runs[@]}"; do read -r name _ <<< "$run"; echo -n "$name $(echo ${times[$name]} | awk '{print $NF}') s  "; done)"
done

median() { tr ' ' '\n' <<< "$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
printf "%-12s %10s %12s\n" output "median s" "/ text"
for run in "${runs[@]}"; do
  read -r name target _ <<< "$run"
  m=$(median "${times[$name]}")
  t=$(median "${times[text-${name#*-}]}")
  printf "%-12s %10s %12s\n" "$name" "$m" "$(awk -v a="$m" -v b="$t" 'BEGIN { printf "%.2f", a / b }')"
done
