#!/usr/bin/env bash
# Installs what building and testing Quorel needs on Debian 12. Run as root
# (or with sudo available); when everything is there it only checks.
set -euo pipefail

packages=(
  cmake make g++ clang pciutils util-linux
  # libFuzzer and the sanitizers' runtimes for clang (scripts/run-fuzzers.sh)
  clang-14 libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  # The unit tests built with -m32 and run under qemu-i386 (native32 preset).
  g++-multilib qemu-user
  # Only the 64-bit Wine: 32-bit Windows code is checked, never run, here.
  # Without the preloader a new Wine prefix fails now and then.
  wine64 wine64-preloader
  # The release package: the MSVC import libraries and their test client
  # (lld-link, clang-cl), the C# and Python examples, the zip.
  lld-14 mono-mcs mono-runtime python3 zip unzip
)

missing=()
for p in "${packages[@]}"; do
  [[ $(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null) == ii* ]] || missing+=("$p")
done
if (( ${#missing[@]} == 0 )); then
  echo "bootstrap: all build dependencies present"
  exit 0
fi

sudo=()
if (( EUID != 0 )); then
  command -v sudo >/dev/null || { echo "bootstrap: run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
# No recommends: they would pull wine32 and a desktop's worth of libraries.
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
