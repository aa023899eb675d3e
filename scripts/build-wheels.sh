#!/usr/bin/env bash
# Builds the Python package's wheels into OUTPUT-DIR (default build/package)
# from python/, each with its libraries in quorel/lib:
#   quorel-V-py3-none-win_amd64.whl    Quorel_64.dll, sim/Ulvexa64.dll (the stand-in)
#   quorel-V-py3-none-win32.whl        Quorel_32D.dll, sim/Ulvexa32.dll
#   quorel-V-py3-none-linux_x86_64.whl libquorel.so over the simulated PC,
#                                      sysfs/libquorel.so over this machine's bus
# Offline, with Debian's pip, setuptools and wheel. Prints each wheel's path.
# Usage: scripts/build-wheels.sh [OUTPUT-DIR]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

out=$(realpath -m "${1:-build/package}")
version=$(quorel_version)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build_targets native quorel_shared >/dev/null
build_targets linux-sysfs quorel_shared >/dev/null
build_targets win64 quorel_dll ulvexa_sim_dll >/dev/null
build_targets win32 quorel_dll ulvexa_sim_dll >/dev/null

# wheel NAME FOLDER:FILE...: a wheel with each FILE copied into quorel/lib/FOLDER.
wheel() {
  local tag=$1 stage=$work/$1 entry dest; shift
  cp -r python "$stage"
  find "$stage" -name __pycache__ -prune -exec rm -rf {} +
  for entry in "$@"; do
    dest=$stage/quorel/lib/${entry%%:*}
    mkdir -p "$dest"
    # The shared object is built with debugging information, which users do not need.
    case $entry in
      *.so) strip --strip-debug -o "$dest/libquorel.so" "${entry#*:}" ;;
      *) cp "${entry#*:}" "$dest/" ;;
    esac
  done
  (cd "$stage" && QUOREL_VERSION=$version /usr/bin/python3 -m pip wheel -q --no-build-isolation \
    --no-deps --no-index -w "$work/wheels/$tag" . >"$work/$tag.log" 2>&1) || { cat "$work/$tag.log"; return 1; }
  mkdir -p "$out"
  mv "$work/wheels/$tag"/*.whl "$out/"
  ls "$out"/quorel-"$version"-*"$tag".whl
}

rm -f "$out"/quorel-*.whl
wheel win_amd64 .:build/win64/bin/Quorel_64.dll sim:build/win64/bin/Ulvexa64.dll
wheel win32 .:build/win32/bin/Quorel_32D.dll sim:build/win32/bin/Ulvexa32.dll
wheel "linux_$(uname -m)" .:build/native/bin/libquorel.so sysfs:build/linux-sysfs/bin/libquorel.so
