#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the application need,
# only those that are missing. Runs as root on a fresh Debian machine.
set -euo pipefail

packages=(
  cmake make g++ pkg-config time
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  qt6-base-dev qt6-svg-dev libgl1-mesa-dev fonts-dejavu-core
  libgdal-dev gdal-bin libproj-dev proj-bin libsqlite3-dev
  gpsbabel
  xvfb xauth x11-apps imagemagick
  clang libclang-rt-14-dev
)
if [[ "${KORVAGRID_SKIP_GUI_DEPS:-0}" == 1 ]]; then
  packages=("${packages[@]/qt6-base-dev/}")
  packages=("${packages[@]/qt6-svg-dev/}")
fi

missing=()
for p in "${packages[@]}"; do
  [[ -z "$p" ]] && continue
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
