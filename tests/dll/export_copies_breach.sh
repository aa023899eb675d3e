#!/usr/bin/env bash
# scripts/exports.py check must fail on each planted disagreement with the
# table of exports, naming the copy and the function (or result name).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
while IFS='|' read -r file edit expect; do
  rm -rf "$work/tree" && mkdir "$work/tree"
  (cd "$root" && cp -r --parents src/api include python/quorel dotnet/src tests/api/e2e/e2e_support.c \
    tests/api/e2e/e2e_stack.c bench/wine_timing.c "$work/tree")
  sed -i "$edit" "$work/tree/$file"
  out=$("${PYTHON:-python3}" "$root/scripts/exports.py" check "$work/tree") && out="passed"
  grep -qF "$expect" <<<"$out" || { echo "$file ($edit) not caught: $out"; failures=$((failures + 1)); }
done <<'CASES'
src/api/exports.txt|s/^Quorel_in  *int /Quorel_in int,int /|include/quorel.h: Quorel_in: declared (int), the table has (int, int)
include/quorel.h|s/Quorel_out(int index, int value)/Quorel_out(int index)/|include/quorel.h: Quorel_out: declared (int)
src/api/traced_exports.cpp|s/Quorel_setwr2wrdly_traced(double/Quorel_setwr2wrdly_traced(int/|src/api/traced_exports.cpp: Quorel_setwr2wrdly
python/quorel/_api.py|s/"Quorel_in2": (\[_int, _int\]/"Quorel_in2": ([_int]/|python/quorel/_api.py: Quorel_in2
python/quorel/_api.py|s/_Quorel_LibVersion@8/_Quorel_LibVersion@4/|python/quorel/_api.py: Quorel_LibVersion: loaded as
python/quorel/_api.py|s/^MAP_FAILED = 2/MAP_FAILED = 3/|python/quorel/_api.py MAP_FAILED: 3
dotnet/src/Imports.cs|s/_Quorel_out2@12/_Quorel_out2@8/|dotnet/src/Imports.cs X86: Quorel_out2: entry point
dotnet/src/Imports.cs|s/int Quorel_in(int index);/int Quorel_in(double index);/|dotnet/src/Imports.cs X64: Quorel_in
dotnet/src/NativeMethods.cs|s/int Quorel_open2()/int Quorel_openboards()/|dotnet/src/NativeMethods.cs: Quorel_open2: missing
dotnet/src/NativeMethods.cs|s/NothingToActOn = 1/NothingToActOn = 0/|dotnet/src/NativeMethods.cs NothingToActOn: 0
tests/api/e2e/e2e_support.c|s/"Quorel_getvalidid2", 4/"Quorel_getvalidid2", 8/|tests/api/e2e/e2e_support.c: Quorel_getvalidid2: declared 8 argument bytes
CASES
exit $(( failures > 0 ))
