#!/usr/bin/env bash
# Installs the Debian packages palfade needs to build and test, only those
# that are missing. Quiet when everything is present. Needs root (or sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libpng-dev zlib1g-dev libgif-dev libxcb1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  binutils-m68k-linux-gnu gcc-m68k-linux-gnu fonts-dejavu-core
  help2man man-db dpkg-dev desktop-file-utils appstream libxml2-utils shared-mime-info
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "palfade: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
