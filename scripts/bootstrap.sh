#!/usr/bin/env bash
# Installs what building and testing Quorel needs on Debian 12. Run as root
# (or with sudo available); when everything is there it only checks.
set -euo pipefail

packages=(
  cmake make g++ clang pciutils util-linux
  # libFuzzer and the sanitizers' runtimes for clang (scripts/run-fuzzers.sh)
  clang-14 libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  # The quorel tool's JSON and argument parsing, header-only, for the native
  # and the cross builds alike (cmake/QuorelIncludeFolder.cmake).
  nlohmann-json3-dev libcli11-dev
  # Card models' TOML reader, header-only (card_model/).
  libtomlplusplus-dev
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  # The unit tests built with -m32 and run under qemu-i386 (native32 preset).
  g++-multilib qemu-user
  # Wine for both bitnesses: wine64 runs the x64 programs, wine32 (from the
  # i386 architecture, added below) the x86 ones, in the same prefix.
  # Without the preloader a new Wine prefix fails now and then.
  wine64 wine64-preloader wine32:i386
  # quorel watch's terminal tests, on a terminal of their own.
  tmux
  # The release package: the MSVC import libraries and their test client
  # (lld-link, clang-cl), the C# and Python examples, the zip.
  lld-14 mono-mcs mono-runtime python3 zip unzip
  # The Python wheels (built offline, installed into a fresh virtual
  # environment) and the NuGet package (nuget, and xbuild for its .targets).
  python3-pip python3-setuptools python3-wheel python3-venv nuget mono-xbuild
)

# wine32 comes from Debian's i386 architecture.
need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

missing=()
for p in "${packages[@]}"; do
  [[ $(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null) == ii* ]] || missing+=("$p")
done
if (( ${#missing[@]} == 0 && ! need_i386 )); then
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
if (( need_i386 )); then
  echo "bootstrap: adding the i386 architecture (for wine32)"
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -q
# No recommends: they would pull wine32 and a desktop's worth of libraries.
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
