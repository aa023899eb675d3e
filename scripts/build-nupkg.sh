#!/usr/bin/env bash
# Builds the NuGet package, OUTPUT-DIR/Quorel.VERSION.nupkg (default
# build/package), with Debian's mono C# compiler and nuget:
#   lib/net45/Quorel.dll                      the C# wrapper (dotnet/src)
#   runtimes/win-x86/native/Quorel_32D.dll    runtimes/win-x64/native/Quorel_64.dll
#   build/Quorel.targets                      copies them in classic .NET Framework projects
# Prints the package's path.
# Usage: scripts/build-nupkg.sh [OUTPUT-DIR]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

out=$(realpath -m "${1:-build/package}")
version=$(quorel_version)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

build_targets win64 quorel_dll >/dev/null
build_targets win32 quorel_dll >/dev/null

mkdir -p "$stage"/{lib/net45,runtimes/win-x86/native,runtimes/win-x64/native,build} "$out"
mcs -nologo -warnaserror -target:library -out:"$stage/lib/net45/Quorel.dll" dotnet/src/*.cs
cp build/win32/bin/Quorel_32D.dll "$stage/runtimes/win-x86/native/"
cp build/win64/bin/Quorel_64.dll "$stage/runtimes/win-x64/native/"
cp dotnet/Quorel.targets "$stage/build/"
cp dotnet/package-manifest.xml "$stage/Quorel.nuspec"  # the name nuget pack wants
rm -f "$out/Quorel.$version.nupkg"
(cd "$stage" && nuget pack Quorel.nuspec -Version "$version" -OutputDirectory "$out" \
  -NonInteractive -NoPackageAnalysis >"$stage/pack.log" 2>&1) || { cat "$stage/pack.log"; exit 1; }
ls "$out/Quorel.$version.nupkg"
