#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: first the
# release build (with the GUI tests under the offscreen platform), then each
# fuzz target for a few seconds, then the core tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

echo "== tests (release build)"
(cd build && ctest --output-on-failure -j"$(nproc)")

echo "== fuzz targets (short runs; scripts/fuzz.sh TARGET SECONDS for long ones)"
fuzz_seconds=${KORVAGRID_FUZZ_SECONDS:-10}
for target in tests/fuzz/fuzz_*.cpp; do
  name=$(basename "$target" .cpp)
  scripts/fuzz.sh "$name" "$fuzz_seconds" > "build-fuzz-$name.log" 2>&1 || {
    tail -50 "build-fuzz-$name.log"; echo "fuzz target $name failed"; exit 1; }
  grep -E "^Done [0-9]+ runs" "build-fuzz-$name.log" | sed "s/^/$name: /"
done

echo "== tests (address + undefined sanitizers)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKORVAGRID_SANITIZE=ON \
  -DKORVAGRID_BUILD_GUI=OFF -DKORVAGRID_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$(nproc)")
