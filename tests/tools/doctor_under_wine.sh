#!/usr/bin/env bash
# What only Wine can show of `quorel doctor`: the Windows tool starts and
# explains itself with no driver-access DLL beside it, and with one of the
# other bitness (a real DLL built here for the other machine); any other
# command then fails with the reason instead of the loader's error. Beside
# the stand-in it names the machine the stand-in simulates or refused;
# beside a DLL of the six functions alone, as the maker's, that it is not said.
#
#   doctor_under_wine.sh QUOREL.exe DRIVER-DLL-NAME OTHER-BITNESS-CC WINE_RUN CC
set -euo pipefail
tool=$1 driver=$2 other_cc=$3 wine_run=$4 cc=$5
unset QUOREL_SIM_MACHINE QUOREL_SIM_SNAPSHOT
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

mkdir "$work/stand-in" "$work/maker"
cp "$tool" "$(dirname "$tool")/$driver" "$work/stand-in/"
cp "$tool" "$work/maker/"
(cd "$work/stand-in" && "$wine_run" ./quorel.exe snapshot snap >/dev/null)
QUOREL_SIM_SNAPSHOT=snap expect stand-in "doctor --json" 0 '"machine": "the snapshot snap"}'
QUOREL_SIM_MACHINE='snap\machine.txt' expect stand-in doctor 0 'machine              the machine file snap\machine.txt'
# A name longer than the tool's first buffer for the description.
none=$(printf 'n%.0s' {1..300}).txt
QUOREL_SIM_MACHINE=$none expect stand-in "doctor --json" 1 \
  "\"machine\": \"the machine file $none\", \"machine_refused\": \"$none: cannot read the machine file: "
"$cc" -shared -Wl,--kill-at -x c - -o "$work/maker/$driver" <<'C'
typedef unsigned char u8;
u8 __stdcall InitializeUlvexa(void) { return 0; }
void __stdcall RemoveUlvexaDriver(void) {}
void __stdcall ShutdownUlvexa(void) {}
void* __stdcall MapPhysToLin(void* record) { return 0; }
u8 __stdcall PciCfgRead(u8 bus, u8 dev, u8 fn, unsigned short at, unsigned* value) { return 0; }
u8 __stdcall PciCfgWrite(u8 bus, u8 dev, u8 fn, unsigned short at, unsigned value) { return 0; }
C
expect maker doctor 1 "machine              not said: this driver-access DLL does not describe itself"
exit $status
