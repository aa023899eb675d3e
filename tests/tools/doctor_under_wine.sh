#!/usr/bin/env bash
# What only Wine can show of `quorel doctor`: the Windows tool starts and
# explains itself with no driver-access DLL beside it, and with one of the
# other bitness (a real DLL built here for the other machine); any other
# command then fails with the reason instead of the loader's error.
#
#   doctor_under_wine.sh QUOREL.exe DRIVER-DLL-NAME OTHER-BITNESS-CC WINE_RUN
set -euo pipefail
tool=$1 driver=$2 other_cc=$3 wine_run=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
# expect CASE COMMAND EXIT TEXT: the run's exit code, and TEXT in what it prints.
expect() {
  local out code=0
  out=$(cd "$work/$1" && "$wine_run" ./quorel.exe $2 2>&1 | tr -d '\r') || code=$?
  if [[ $code == "$3" && $out == *"$4"* ]]; then
    echo "ok   $1: quorel $2"
  else
    printf 'FAIL %s: quorel %s exits %s, expected %s with "%s":\n%s\n' "$1" "$2" "$code" "$3" "$4" "$out"
    status=1
  fi
}

mkdir "$work/missing" "$work/other-bitness"
cp "$tool" "$work/missing/"
cp "$tool" "$work/other-bitness/"
echo 'int quorel_not_a_driver;' | "$other_cc" -shared -x c - -o "$work/other-bitness/$driver"

expect missing doctor 1 "verdict: no card can be opened: the driver-access library cannot be loaded: $driver is neither beside quorel.exe"
expect missing list 1 "quorel: the driver-access library cannot be loaded"
expect missing version 0 "QUOREL DLL"
if [[ $driver == *64* ]]; then
  expect other-bitness doctor 1 "$driver is x86 (32-bit), but this program is x64 (64-bit)"
else
  expect other-bitness doctor 1 "$driver is x64 (64-bit), but this program is x86 (32-bit)"
fi
expect other-bitness cards 1 "quorel: the driver-access library cannot be loaded"
exit $status
