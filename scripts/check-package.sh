#!/usr/bin/env bash
# Checks the release package as an engineer receives it. Unpacks the zip, then:
#  - its layout;
#  - the DLLs' import and export tables (scripts/check-dll-tables.sh), the
#    trace flavour's in bin/*/trace included;
#  - the version resources of every DLL and program, read back through
#    Windows' own GetFileVersionInfo under Wine, against the library's banner;
#  - a C client (tests/package/import_client.c) linked against each import
#    library of both architectures, MinGW's with mingw gcc and MSVC's with
#    clang-cl and lld-link (no C runtime: its own entry point); each of its
#    calls must bind to an export of the DLL, the 32-bit ones to the
#    decorated stdcall names. Every client runs under Wine, x64 under 64-bit
#    Wine and x86 under 32-bit Wine;
#  - the packaged C examples, built for both architectures from the unpacked
#    tree, and both quorel.exe, run under Wine against the packaged stand-in;
#    the single-card example also with the trace DLL found first instead,
#    printing the same and leaving a trace;
#  - a replay's round trip: the 64-bit acquisition example's trace, taken
#    with the trace DLL against the example card model, replayed without
#    the model natively (libquorel.so) and under Wine (release DLL, and
#    trace DLL, whose trace must match the recorded one call for call), and
#    an edited write reported once with its line;
#  - README.txt's first steps as written: the commands its "> " lines give,
#    typed into one cmd.exe under Wine in the unpacked folder (see
#    check_readme).
# Usage: scripts/check-package.sh [ZIP]   (default: what scripts/package.sh made)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pe-tables.sh"

zip=$(realpath "${1:-$(ls build/package/quorel-*-windows.zip | tail -1)}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
root=$(echo "$work"/quorel-*-windows)
version=${root##*/quorel-}
version=${version%-windows}
IFS=. read -r major minor _ <<<"$version"
banner=$(printf 'Velmar QUOREL DLL V%d.%02d' "$major" "$minor")
lld_link=$(command -v lld-link || command -v lld-link-14 || echo lld-link)

layout=(README.txt include/quorel.h
  bin/x86/Quorel_32D.dll lib/x86/libQuorel_32D.dll.a lib/x86/Quorel_32D.lib lib/x86/Quorel_32D.def
  bin/x86/trace/Quorel_32D.dll bin/x64/trace/Quorel_64.dll
  bin/x64/Quorel_64.dll lib/x64/libQuorel_64.dll.a lib/x64/Quorel_64.lib lib/x64/Quorel_64.def
  sim/x86/Ulvexa32.dll sim/x64/Ulvexa64.dll sim/machines/default.lspci
  sim/machines/default-nt6.reg sim/machines/default-nt5.reg sim/machines/default-9x.reg
  sim/models/acquisition.toml
  tools/x86/quorel.exe tools/x64/quorel.exe
  examples/c/single_card.c examples/c/multi_card.c examples/c/acquisition.c
  examples/csharp/Acquisition.cs examples/python/acquisition.py
  examples/csharp/NativeMethods.cs examples/csharp/Imports.cs examples/csharp/Loader.cs
  examples/csharp/ByBitness.cs examples/csharp/ImageCheck.cs
  examples/csharp/Example.cs examples/csharp/QuorelExample.exe.config
  examples/python/quorel/__init__.py examples/python/example.py
  docs/api.md docs/registers.md docs/stand-in.md docs/cli.md docs/behaviour.md docs/labview.md docs/trace.md docs/card-model.md docs/replay.md)

check_layout() {
  local file missing=()
  echo "layout of $(basename "$zip")"
  for file in "${layout[@]}"; do [[ -f $root/$file ]] || missing+=("$file"); done
  same_set "the files an engineer needs" "" "$(names "${missing[@]}")"
  same_set "top level" "$(names README.txt bin docs examples include lib sim tools)" "$(ls "$root")"
}

# in_wine ARCH PROGRAM [ARGS...]: run a Windows program from the unpacked
# tree, finding the DLL and the stand-in where the package has them.
in_wine() {
  local arch=$1; shift
  (cd "$root" && WINEPATH="Z:${root//\//\\}\\bin\\$arch;Z:${root//\//\\}\\sim\\$arch" \
    "$QUOREL_ROOT/scripts/wine-run" "$@")
}

check_versions() {
  local probe=build/win64/bin/version_probe.exe files out
  echo "version resources"
  build_targets win64 version_probe >/dev/null || { fail "cannot build version_probe"; return; }
  files=$(cd "$root" && ls bin/*/*.dll bin/*/trace/*.dll sim/*/*.dll tools/*/*.exe)
  # shellcheck disable=SC2086  # one argument per file
  out=$(in_wine x64 "$QUOREL_ROOT/$probe" $files | tr -d '\r') || true
  same_set "file $major.$minor.0.0, product Quorel, original name, a description" \
    "$(awk '{ n = $0; sub(".*/", "", n); print $0 "|" n }' <<<"$files")" \
    "$(awk -F'|' -v v="$major.$minor.0.0" '$2 == v && $4 == "Quorel" && $6 != "" { print $1 "|" $5 }' <<<"$out")"
}

# build_client ARCH KIND EXE: the client against one import library.
build_client() {
  local source=tests/package/import_client.c inc=$root/include lib=$root/lib/$1
  case $1-$2 in
    x64-mingw) x86_64-w64-mingw32-gcc -nostdlib -Wl,-e,client_main -I "$inc" "$source" "$lib/libQuorel_64.dll.a" -o "$3" ;;
    x86-mingw) i686-w64-mingw32-gcc -nostdlib -Wl,-e,_client_main -I "$inc" "$source" "$lib/libQuorel_32D.dll.a" -o "$3" ;;
    *-msvc)
      local target=x86_64 machine=x64 implib=$lib/Quorel_64.lib
      [[ $1 == x86 ]] && { target=i686; machine=x86; implib=$lib/Quorel_32D.lib; }
      clang --driver-mode=cl --target=$target-pc-windows-msvc /nologo /c /Zl /GS- /I "$inc" "$source" /Fo"$3.obj" &&
        "$lld_link" /nologo /nodefaultlib /entry:client_main /subsystem:console /machine:$machine \
          "$3.obj" "$implib" /out:"$3" ;;
  esac
}

# Programs built by the checks ("ARCH EXE"), run under Wine at the end, one
# after the other while the Wine server is still up.
wine_runs=()

# check_client ARCH KIND: link, check what it imports; it is run later.
check_client() {
  local arch=$1 kind=$2 exe=$work/client-$1-$2.exe bits=64 dll=Quorel_64.dll expected
  [[ $arch == x86 ]] && { bits=32; dll=Quorel_32D.dll; }
  echo "C client, $arch, $kind import library"
  build_client "$arch" "$kind" "$exe" || { fail "does not link"; return; }
  # Every export of the 64-bit DLL; the decorated ones of the 32-bit DLL.
  expected=$(exports_of "$(tables $bits "$root/bin/$arch/$dll")")
  [[ $arch == x86 ]] && expected=$(grep '^_' <<<"$expected")
  same_set "its sixteen calls bind to the DLL's exports" "$expected" \
    "$(imports_from "$(tables $bits "$exe")" "$(tr '[:upper:]' '[:lower:]' <<<"$dll")")"
  wine_runs+=("$arch $exe")
}

# build_examples ARCH: the C examples as a user builds them, with MinGW.
build_examples() {
  local arch=$1 example exe cc=x86_64-w64-mingw32-gcc implib=libQuorel_64.dll.a
  [[ $arch == x86 ]] && { cc=i686-w64-mingw32-gcc; implib=libQuorel_32D.dll.a; }
  echo "C examples, $arch, built from the package"
  for example in single_card multi_card acquisition; do
    exe=$work/$example-$arch.exe
    if $cc -Wall -Wextra -Werror -I "$root/include" "$root/examples/c/$example.c" \
         "$root/lib/$arch/$implib" -o "$exe"; then
      pass "$example builds"; wine_runs+=("$arch $exe")
    else
      fail "$example does not build"
    fi
  done
}

# check_tools: both quorel.exe see the same default machine.
check_tools() {
  local command x64 x86
  echo "quorel.exe of both architectures, from the unpacked tree"
  for command in list cards boards; do
    x64=$(in_wine x64 "$root/tools/x64/quorel.exe" "$command" | tr -d '\r') || { fail "x64 $command exits with $?"; continue; }
    x86=$(in_wine x86 "$root/tools/x86/quorel.exe" "$command" | tr -d '\r') || { fail "x86 $command exits with $?"; continue; }
    if [[ -n $x64 && $x86 == "$x64" ]]; then pass "quorel $command: the same"; else fail "quorel $command differs"; fi
  done
}

run_in_wine() {
  local run arch exe out
  echo "under Wine, from the unpacked tree"
  for run in "${wine_runs[@]}"; do
    read -r arch exe <<<"$run"
    [[ $exe == */acquisition-* ]] && { check_acquisition "$arch" "$exe"; continue; }
    if out=$(in_wine "$arch" "$exe" | tr -d '\r'); then pass "${exe##*/}"; else fail "${exe##*/} exits with $?"; fi
    [[ $exe == */single_card-* ]] || continue
    # The version the DLL prints is the one its resource and the package carry.
    if grep -qx "$banner" <<<"$out"; then pass "banner is \"$banner\""; else fail "no \"$banner\" banner"; fi
    check_trace_swap "$arch" "$exe" "$out"
  done
}

# check_acquisition ARCH EXE: the acquisition example drives a card that
# follows the packaged example model, as the C example's comment says.
check_acquisition() {
  local out samples
  out=$(QUOREL_SIM_MODEL='sim\models\acquisition.toml' in_wine "$1" "$2" | tr -d '\r') ||
    { fail "${2##*/} exits with $?"; return; }
  samples=$(sed -n 's/^conversion [0-9]: result \(0x..\),.*/\1/p' <<<"$out" | tr '\n' ' ')
  if [[ $samples == "0x80 0x83 0x87 " ]]; then
    pass "${2##*/}: three conversions read the model's samples ($samples)"
  else
    fail "${2##*/}: expected the results 0x80 0x83 0x87, got:"; echo "$out"
  fi
  if [[ $1 == x64 ]]; then check_replay "$2" "$out"; fi
}

# A trace's lines without what differs from run to run: the header, times,
# threads, the window's address.
masked_trace() {
  sed -E -e '/^Quorel trace: /d' -e 's/^#([0-9]+) t=[0-9.]+us thread=[0-9]+ (.*) \([0-9.]+us\)$/#\1 \2/' \
    -e 's/(MapPhysToLin.*) = 0x[0-9A-F]+$/\1 = WINDOW/' "$1"
}

# check_replay EXE OUTPUT: EXE's run against the model (OUTPUT), recorded
# with the trace DLL, then replayed without the model, natively and under
# 64-bit Wine; and a trace with one write edited.
check_replay() {
  local exe=$1 recorded=$2 trace=$work/replay-recorded.txt again=$work/replay-again.txt
  local edited=$work/replay-edited.txt native=build/native/bin out err line
  echo "replaying the acquisition example's trace, without the card model"
  QUOREL_SIM_MODEL='sim\models\acquisition.toml' QUOREL_TRACE="Z:${trace//\//\\}" in_trace_wine x64 "$exe" >/dev/null ||
    { fail "recording: exits with $?"; return; }
  build_targets native example_acquisition quorel >/dev/null || { fail "cannot build the native example"; return; }
  out=$(QUOREL_SIM_REPLAY=$trace $native/acquisition) || fail "natively: exits with $?"
  [[ $out == "$recorded" ]] && pass "natively: the same results" || fail "natively: other results: $out"
  out=$(QUOREL_SIM_REPLAY="Z:${trace//\//\\}" in_wine x64 "$exe" | tr -d '\r') || fail "under Wine: exits with $?"
  [[ $out == "$recorded" ]] && pass "under Wine: the same results" || fail "under Wine: other results: $out"
  QUOREL_SIM_REPLAY="Z:${trace//\//\\}" QUOREL_TRACE="Z:${again//\//\\}" in_trace_wine x64 "$exe" >/dev/null
  if diff -u <(masked_trace "$trace") <(masked_trace "$again"); then
    pass "under Wine with the trace DLL: the same $(grep -c '^#' "$again") calls and results"
  else
    fail "under Wine with the trace DLL: the replay's trace differs from the recorded one"
  fi
  line=$(grep -n -m1 'Quorel_out(5, 0x1) = 0' "$trace" | cut -d: -f1 || true)
  sed "${line}s/Quorel_out(5, 0x1)/Quorel_out(5, 0x3)/" "$trace" >"$edited"
  err=$(QUOREL_SIM_REPLAY=$edited $native/acquisition 2>&1 >/dev/null) || fail "edited: exits with $?"
  local said="quorel-sim: replay: card 00:05.0: a write of 0x01 to register 5 where $edited:$line"
  if [[ $(grep -c 'quorel-sim: replay' <<<"$err") == 1 && $err == "$said "\(#*\)" has Quorel_out(5, 0x3)"* ]]; then
    pass "an edited write: said once, with its line"
  else
    fail "an edited write: expected one line starting \"$said (#N) has Quorel_out(5, 0x3)\", got: $err"
  fi
  $native/quorel replay check "$trace" | grep -q '^card 00:05.0: Quorel_open(0) at line 2' &&
    pass "quorel replay check names the card" || fail "quorel replay check does not name the card"
}

# in_trace_wine ARCH PROGRAM [ARGS...]: as in_wine, the trace DLL found first.
in_trace_wine() {
  local arch=$1; shift
  (cd "$root" && WINEPATH="Z:${root//\//\\}\\bin\\$arch\\trace;Z:${root//\//\\}\\sim\\$arch" \
    "$QUOREL_ROOT/scripts/wine-run" "$@")
}

# check_trace_swap ARCH EXE OUTPUT: the same program, bin/ARCH/trace first on PATH.
check_trace_swap() {
  local trace=$work/trace-$1.txt out
  out=$(cd "$root" && QUOREL_TRACE="Z:${trace//\//\\}" \
    WINEPATH="Z:${root//\//\\}\\bin\\$1\\trace;Z:${root//\//\\}\\sim\\$1" \
    "$QUOREL_ROOT/scripts/wine-run" "$2" | tr -d '\r') || { fail "with the trace DLL: exits with $?"; return; }
  if [[ $out == "$3" ]]; then pass "the same output with the trace DLL"; else fail "other output with the trace DLL"; fi
  if grep -q '^Quorel trace: .*\\trace\\Quorel_' "$trace" 2>/dev/null && grep -q '^#1 .* Quorel_' "$trace"; then
    pass "a trace from bin/$1/trace, $(grep -c '^#' "$trace") calls"
  else
    fail "no trace from bin/$1/trace"
  fi
}

# check_readme: README.txt's "> " lines, typed in order into one cmd.exe
# (a batch file stopping at the first that fails) in the unpacked folder,
# nothing set up first. Wine has no compiler: a MinGW-w64 compiler line runs
# before, here, with the cross compiler of its name (it reads the package only).
check_readme() {
  local lines line words batch=$work/readme-steps.bat n=0 out status=0
  echo "README.txt's first steps, as written"
  mapfile -t lines < <(tr -d '\r' <"$root/README.txt" | sed -n 's/^ *> //p')
  (( ${#lines[@]} )) || { fail "README.txt gives no \"> \" commands"; return; }
  for line in "${lines[@]}"; do
    n=$((n + 1)) && read -ra words <<<"$line"
    if [[ ${words[0]} != *-w64-mingw32-gcc ]]; then printf '%s\r\n@if errorlevel 1 exit /b %d\r\n' "$line" $n >>"$batch"
    elif (cd "$root" && "${words[@]}"); then pass "$line"; else fail "$line"; fi
  done
  out=$(cd "$root" && env -u QUOREL_TRACE -u WINEPATH "$QUOREL_ROOT/scripts/wine-run" cmd /c "Z:${batch//\//\\}" 2>&1 |
    tr -d '\r') || status=$?
  if (( status == 0 )); then pass "the ${#lines[@]} lines of its first steps"; return; fi
  fail "README.txt's \"${lines[status - 1]:-?}\" exits non-zero; cmd.exe printed:"
  tail -n 25 <<<"$out"
}

check_layout
scripts/check-dll-tables.sh "$root/bin/x64" "$root/bin/x86" "$root/sim/x64" "$root/sim/x86" ||
  failures=$((failures + 1))
for arch in x64 x86; do
  for kind in mingw msvc; do check_client "$arch" "$kind"; done
done
build_examples x64
build_examples x86
check_versions
run_in_wine
check_tools
check_readme

if (( failures )); then echo "package: $failures check(s) failed"; exit 1; fi
echo "package: all checks passed"
