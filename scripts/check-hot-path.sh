#!/usr/bin/env bash
# Checks the machine code of the register exports in Quorel_64.dll and
# Quorel_32D.dll, as built by the win64 and win32 presets: on their way to
# the first return (the compiler lays out the access to an unpaced card
# first) Quorel_in and Quorel_out call nothing and read no .refptr pointer,
# and the 32-bit ones (_Quorel_in@4, _Quorel_out@8) set up no frame: no
# push, no stack adjustment. Each would cost them about as much again as
# the store itself.
# Usage: scripts/check-hot-path.sh [DLL64 [DLL32]]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pe-tables.sh"

# up_to_first_ret BITS DLL NAME: the function's instructions up to its first ret.
up_to_first_ret() {
  "$(objdump_for "$1")" -d --no-show-raw-insn "$2" |
    awk -v name="<$3>:" '$2 == name { on = 1; next } on { print } on && /\tret/ { on = 0 }'
}

# check BITS DLL EXPORT...: the named exports of one DLL.
check() {
  local bits=$1 dll=$2 export code banned='\scall|\.refptr'
  shift 2
  [[ $bits == 32 ]] && banned+='|\spush|\ssub .*,%esp'
  echo "${dll##*/}"
  for export in "$@"; do
    code=$(up_to_first_ret "$bits" "$dll" "$export")
    if [[ -z $code ]]; then
      fail "$export: not found in $dll"
    elif grep -Eq "$banned" <<<"$code"; then
      fail "$export: a call, a .refptr load or a frame before its first return:"
      echo "$code"
    else
      pass "$export: $(wc -l <<<"$code") instructions, no call, no .refptr, no frame"
    fi
  done
}

check 64 "${1:-build/win64/bin/Quorel_64.dll}" Quorel_in Quorel_out
check 32 "${2:-build/win32/bin/Quorel_32D.dll}" _Quorel_in@4 _Quorel_out@8
exit $((failures > 0))
