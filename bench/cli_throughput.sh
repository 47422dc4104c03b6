#!/usr/bin/env bash
# Times korvagrid-cli on a generated "42(zone6)" list converted to WGS-84 in
# degree-minute-second output, and reports the peak memory.
#   bench/cli_throughput.sh [LINES] [RUNS]     (default 1000000 lines, 3 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-1000000}
runs=${2:-3}
cli=${KORVAGRID_CLI:-build/app/cli/korvagrid-cli}
[[ -x $cli ]] || scripts/build.sh >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Points spread over 200 km × 200 km of zone 6, with heights, CR LF line ends.
awk -v n="$lines" 'BEGIN { srand(42); for (i = 0; i < n; i++)
  printf "%.3f %.3f %.3f\r\n", 6100000 + rand() * 200000, 6400000 + rand() * 200000, 100 + rand() * 100 }' \
  > "$work/list.txt"
echo "list: $lines lines, $(du -h "$work/list.txt" | cut -f1)"
for ((i = 1; i <= runs; i++)); do
  /usr/bin/time -f "run $i: %e s wall, %U s user, %M KB peak" \
    "$cli" convert --from "42(zone6)" --to WGS-84 "$work/list.txt" -o "$work/out.txt"
done
echo "output: $(wc -l < "$work/out.txt") lines"
