#!/usr/bin/env bash
# Configures and builds the release tree in build/ (used by run.sh and test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKORVAGRID_BUILD_GUI=ON -DKORVAGRID_BUILD_CLI=ON \
  -DKORVAGRID_BUILD_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)"
