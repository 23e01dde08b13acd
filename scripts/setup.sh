#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages, only
# what is missing, then builds Crypto++ for MinGW into the build folder.
# Usage: scripts/setup.sh [build-root]   (default: ./build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${1:-$root/build}

packages=(
  cmake make g++ clang libclang-rt-14-dev clang-format
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 xvfb twm
  libcrypto++-dev libgtest-dev libgmock-dev libbenchmark-dev
  dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

"$root/scripts/build_cryptopp_mingw.sh" "$build_root/deps"
