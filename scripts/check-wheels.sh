#!/usr/bin/env bash
# Checks the Python wheels and the NuGet package as users install them:
#  - each wheel's tag (file name and WHEEL) and the file format of every
#    library in it (objdump's reading, not the package's own);
#  - the Linux wheel installed with pip --no-index into a fresh virtual
#    environment, and the Python example and `python -m quorel` run from it
#    against the simulated PC; load(driver="sysfs") takes the sysfs build;
#  - the .nupkg's files, its id and version, each native DLL's format;
#  - a classic .NET Framework project (tests/dotnet/nuget) that imports the
#    package's .targets, built with xbuild for Platform x86, x64 and AnyCPU:
#    the files each build copies; the AnyCPU program run under mono.
# Usage: scripts/check-wheels.sh [DIR]   (default build/package)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pe-tables.sh"

dir=$(realpath "${1:-build/package}")
version=$(quorel_version)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# formats ROOT FILE...: "FILE FORMAT" per file, as objdump reads it.
formats() {
  local root=$1 file; shift
  for file in "$@"; do
    printf '%s %s\n' "$file" "$(objdump -f "$root/$file" 2>/dev/null | sed -n 's/.*file format //p')"
  done
}

# check_wheel TAG FORMAT LIBRARY...: a wheel's tag, its libraries and their format.
check_wheel() {
  local tag=$1 format=$2 wheel=$dir/quorel-$version-py3-none-$1.whl root=$work/$1; shift 2
  echo "wheel $(basename "$wheel")"
  [[ -f $wheel ]] || { fail "not built"; return; }
  unzip -q "$wheel" -d "$root"
  same_set "WHEEL says py3-none-$tag" "py3-none-$tag" "$(sed -n 's/^Tag: //p' "$root"/quorel-*.dist-info/WHEEL)"
  same_set "its libraries" "$(names "$@")" "$(cd "$root" && find quorel/lib -type f)"
  same_set "all $format" "$(printf "%s $format\n" "$@")" "$(formats "$root" "$@")"
}

# in_venv COMMAND...: run in the fresh environment, outside the source tree.
in_venv() {
  (cd "$work" && env -u PYTHONPATH -u LD_LIBRARY_PATH PYTHONDONTWRITEBYTECODE=1 "$work/venv/bin/python" "$@")
}

check_install() {
  local wheel=$dir/quorel-$version-py3-none-linux_$(uname -m).whl out
  echo "Linux wheel in a fresh virtual environment"
  /usr/bin/python3 -m venv "$work/venv" && "$work/venv/bin/pip" install -q --no-index "$wheel" ||
    { fail "does not install offline"; return; }
  if out=$(in_venv "$QUOREL_ROOT/examples/python/example.py") && grep -q "all values read back" <<<"$out"; then
    pass "the example runs on the simulated PC"
  else
    fail "the example: $out"
  fi
  same_set "python -m quorel lists the three cards" "$(names "0    1      0x11" "1    2      0x22" "2    3      0x33")" \
    "$(in_venv -m quorel | tail -n +2)"
  same_set "load() and load(driver=\"sysfs\") take the package's builds" \
    "$(names "$work/venv/lib/python3*/site-packages/quorel/lib/libquorel.so" \
             "$work/venv/lib/python3*/site-packages/quorel/lib/sysfs/libquorel.so")" \
    "$(in_venv -c 'import quorel; print(quorel.load().path); print(quorel.load(driver="sysfs").path)' |
       sed "s|/python3[.0-9]*/|/python3*/|")"
}

check_nupkg() {
  local nupkg=$dir/Quorel.$version.nupkg root=$work/packages/Quorel.$version
  local natives=(runtimes/win-x86/native/Quorel_32D.dll runtimes/win-x64/native/Quorel_64.dll)
  echo "NuGet package $(basename "$nupkg")"
  [[ -f $nupkg ]] || { fail "not built"; return; }
  mkdir -p "$root" && unzip -q "$nupkg" -d "$root"
  same_set "its files" "$(names Quorel.nuspec lib/net45/Quorel.dll build/Quorel.targets "${natives[@]}")" \
    "$(cd "$root" && find . -type f ! -path './_rels/*' ! -path './package/*' ! -name '\[Content_Types\].xml' |
       sed 's|^\./||')"
  same_set "id and version" "$(names Quorel "$version")" \
    "$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p; s|.*<version>\(.*\)</version>.*|\1|p' "$root/Quorel.nuspec")"
  same_set "native DLLs: x86 and x64" "$(names "${natives[0]} pei-i386" "${natives[1]} pei-x86-64")" \
    "$(formats "$root" "${natives[@]}")"
}

# check_targets PLATFORM FILE...: what a classic project's build copies.
check_targets() {
  local platform=$1 app=$work/App; shift
  mkdir -p "$app"
  sed "s/@VERSION@/$version/g" tests/dotnet/nuget/ClassicApp.csproj >"$app/ClassicApp.csproj"
  cp tests/dotnet/nuget/Program.cs "$app/"
  # Debian's mono has no reference assemblies: the project compiles against
  # the runtime's own.
  if ! (cd "$app" && xbuild /nologo /v:quiet /p:Platform="$platform" /p:_TargetFrameworkDirectories=/usr/lib/mono/4.5/ \
          ClassicApp.csproj >"$work/xbuild-$platform.log" 2>&1); then
    fail "xbuild, Platform $platform:"; cat "$work/xbuild-$platform.log"; return
  fi
  same_set "Platform $platform copies $*" "$(names ClassicApp.exe Quorel.dll "$@")" \
    "$(cd "$app/bin/$platform" && find . -type f ! -name '*.mdb' ! -name '*.pdb' | sed 's|^\./||')"
}

check_wheel win_amd64 pei-x86-64 quorel/lib/Quorel_64.dll quorel/lib/sim/Ulvexa64.dll
check_wheel win32 pei-i386 quorel/lib/Quorel_32D.dll quorel/lib/sim/Ulvexa32.dll
check_wheel "linux_$(uname -m)" elf64-x86-64 quorel/lib/libquorel.so quorel/lib/sysfs/libquorel.so
check_install
check_nupkg
echo "classic project with the package's .targets"
check_targets x86 Quorel_32D.dll
check_targets x64 Quorel_64.dll
check_targets AnyCPU x86/Quorel_32D.dll x64/Quorel_64.dll
same_set "the AnyCPU program picks by its bitness under mono" "Quorel_64.dll" \
  "$(mono "$work/App/bin/AnyCPU/ClassicApp.exe")"

if (( failures )); then echo "wheels and NuGet package: $failures check(s) failed"; exit 1; fi
echo "wheels and NuGet package: all checks passed"
