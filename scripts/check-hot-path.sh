#!/usr/bin/env bash
# Checks the machine code of the register exports in Quorel_64.dll, as
# built by the win64 preset: on their way to the first return (the compiler
# lays out the access to an unpaced card first) Quorel_in and Quorel_out
# call nothing and read no .refptr pointer. Either costs them about as much
# again as the store itself.
# Usage: scripts/check-hot-path.sh [DLL]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

dll=${1:-build/win64/bin/Quorel_64.dll}
failures=0

# up_to_first_ret NAME: the function's instructions up to its first ret.
up_to_first_ret() {
  x86_64-w64-mingw32-objdump -d --no-show-raw-insn "$dll" |
    awk -v name="<$1>:" '$2 == name { on = 1; next } on { print } on && /\tret/ { on = 0 }'
}

for export in Quorel_in Quorel_out; do
  code=$(up_to_first_ret "$export")
  if [[ -z $code ]]; then
    echo "  FAIL $export: not found in $dll"; failures=$((failures + 1))
  elif grep -Eq '\scall|\.refptr' <<<"$code"; then
    echo "  FAIL $export: a call or a .refptr load before its first return:"
    echo "$code"; failures=$((failures + 1))
  else
    echo "  ok   $export: $(wc -l <<<"$code") instructions, no call, no .refptr"
  fi
done
exit $((failures > 0))
