#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Korvagrid window. The
# program looks for its help document in HELP/ under the directory it starts
# in, so it starts next to the copy the build places beside the executable.
# Without a display it converts the bundled example with the command-line
# front end instead, so the program can be seen at work anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh
scripts/build.sh

gui_dir="$root/build/app/gui"
cli="$root/build/app/cli/korvagrid-cli"
example="$root/examples/zone6.txt"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  if [[ ! -x "$gui_dir/korvagrid" ]]; then
    echo "run.sh: $gui_dir/korvagrid was not built: the build tree has the GUI switched off." >&2
    echo "Switch it on with: cmake -S . -B build -DKORVAGRID_BUILD_GUI=ON" >&2
    exit 1
  fi
  cd "$gui_dir"
  exec ./korvagrid
fi

echo "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set),"
echo "so the window cannot be shown. Converting the example list instead:"
echo
echo "  $cli convert --from \"42(zone6)\" --to WGS-84 examples/zone6.txt"
echo
echo "== input: examples/zone6.txt (SK-42, zone 6: X, Y, H)"
cat "$example"
echo
echo "== result: WGS-84 latitude, longitude, height"
"$cli" convert --from "42(zone6)" --to WGS-84 "$example"
echo
echo "To see the window, run this script in a desktop session, or under a"
echo "virtual display: xvfb-run -a scripts/run.sh"
