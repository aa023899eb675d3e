#!/usr/bin/env bash
# Builds the release package, build/package/quorel-VERSION-windows.zip, from
# the win64 and win32 presets (building what it needs first):
#   README.txt                  what is where, in short
#   include/quorel.h
#   bin/x86/Quorel_32D.dll      bin/x64/Quorel_64.dll
#   bin/x86/trace, bin/x64/trace   the trace flavour of each (docs/trace.md)
#   lib/x86, lib/x64            MinGW (lib*.dll.a) and MSVC (*.lib) import libraries, .def
#   sim/x86/Ulvexa32.dll        sim/x64/Ulvexa64.dll   the stand-in driver-access library
#   sim/machines                the default machine and its registry files (UTF-16, for regedit)
#   sim/models                  the example card model (docs/card-model.md)
#   tools/x86, tools/x64        quorel.exe
#   examples/                   C, C# and Python, with the C# wrapper's sources and
#                               the Python package (without libraries: it finds the
#                               DLLs on PATH or in the current folder)
#   docs/                       the reference
# and beside it the Python wheels (scripts/build-wheels.sh) and the NuGet
# package (scripts/build-nupkg.sh).
# Usage: scripts/package.sh [OUTPUT-DIR]   (prints the zip's path last)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

out=$(realpath -m "${1:-build/package}")
version=$(quorel_version)
name=quorel-$version-windows
stage=$out/$name
targets=(quorel_dll quorel_trace_dll quorel_msvc_implib ulvexa_sim_dll quorel default_registry_utf16)

# put DEST-DIR FILE...: copy files into the package.
put() {
  local dest=$stage/$1; shift
  mkdir -p "$dest"
  cp "$@" "$dest/"
}

# put_arch ARCH PRESET DLL-NAME DRIVER-DLL: one architecture's binaries.
put_arch() {
  local arch=$1 build=build/$2 dll=$3
  put "bin/$arch" "$build/bin/$dll.dll"
  put "bin/$arch/trace" "$build/bin/trace/$dll.dll"
  put "lib/$arch" "$build/lib/lib$dll.dll.a" "$build/lib/$dll.lib" "$build/lib/$dll.def"
  put "sim/$arch" "$build/bin/$4"
  put "tools/$arch" "$build/bin/quorel.exe"
}

build_targets win64 "${targets[@]}" >/dev/null
build_targets win32 "${targets[@]}" >/dev/null

rm -rf "$stage" "$out/$name.zip"
put include include/quorel.h
put_arch x64 win64 Quorel_64 Ulvexa64.dll
put_arch x86 win32 Quorel_32D Ulvexa32.dll
put sim/machines backends/sim/machines/default.lspci build/win64/registry/*.reg
put sim/models backends/sim/models/*
put docs docs/{api,registers,stand-in,cli,behaviour,labview,python,dotnet,trace,card-model,replay}.md
mkdir -p "$stage/examples"
cp -r examples/c examples/csharp examples/python "$stage/examples/"
cp dotnet/src/*.cs "$stage/examples/csharp/"
cp -r python/quorel "$stage/examples/python/"
find "$stage/examples" -name __pycache__ -prune -exec rm -rf {} +
# Notepad before Windows 10 shows a file with bare line feeds as one line.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' scripts/package-readme.txt >"$stage/README.txt"

(cd "$out" && zip -qrX "$name.zip" "$name")
scripts/build-wheels.sh "$out"
scripts/build-nupkg.sh "$out"
echo "$out/$name.zip"
