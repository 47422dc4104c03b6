#!/usr/bin/env bash
# Runs one libFuzzer target for a number of seconds:
#   scripts/fuzz.sh TARGET SECONDS      e.g. scripts/fuzz.sh fuzz_run 600
# Seeds come from tests/fuzz/corpus/TARGET (committed); what the fuzzer finds
# goes to build-fuzz/corpus/TARGET. A crash leaves its input in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET SECONDS}
seconds=${2:?usage: scripts/fuzz.sh TARGET SECONDS}
if [[ ! -x build-fuzz/tests/fuzz/$target ]] || [[ -n "$(find src tests/fuzz -newer build-fuzz/tests/fuzz/$target -name '*.[ch]*' 2>/dev/null | head -1)" ]]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVAGRID_FUZZ=ON >/dev/null
  cmake --build build-fuzz --target "$target" -j"$(nproc)" >/dev/null
fi
work=build-fuzz/corpus/$target
mkdir -p "$work"
seeds=tests/fuzz/corpus/$target
[[ -d $seeds ]] || seeds=""
cd build-fuzz
exec "tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  "corpus/$target" ${seeds:+"../$seeds"}
