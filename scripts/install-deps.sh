#!/usr/bin/env bash
# Installs the Debian packages palfade needs to build and test, only those
# that are missing. Quiet when everything is present. Needs root (or sudo).
#   scripts/install-deps.sh         what `make test` needs
#   scripts/install-deps.sh cross   the cross builds of the core that
#                                   scripts/check-determinism.sh runs
set -euo pipefail

case ${1:-} in
  "")
    packages=(
      build-essential cmake ninja-build pkg-config
      qt6-base-dev libgl-dev libpng-dev zlib1g-dev libgif-dev libxcb1-dev
      libgtest-dev libgmock-dev libbenchmark-dev
      binutils-m68k-linux-gnu gcc-m68k-linux-gnu fonts-dejavu-core
      help2man man-db dpkg-dev desktop-file-utils appstream libxml2-utils shared-mime-info
      # The atomic-write tests mount a FAT image: the kernel's vfat, or fusefat.
      dosfstools fusefat
    )
    ;;
  cross)
    packages=(
      build-essential cmake ninja-build
      g++-aarch64-linux-gnu qemu-user
      g++-mingw-w64-x86-64-posix wine64
    )
    ;;
  *)
    echo "usage: install-deps.sh [cross]" >&2
    exit 2
    ;;
esac

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
