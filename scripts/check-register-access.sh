#!/usr/bin/env bash
# Checks the machine code of the register exports in Quorel_64.dll and
# Quorel_32D.dll, as built by the win64 and win32 presets: every byte-sized
# memory access they make through a register must be one of the forms the
# stand-in's watched pages decode (backends/sim/trap/byte_access.h, read
# here by build/native/bin/decode_byte_access), so that on a modelled card
# each costs one fault and no single step. Accesses to the stack, RIP-relative
# or at an absolute address are left out: the window is reached through a
# pointer. Each function runs from its export's address to its last
# instruction before the next symbol. Prints how many were checked per DLL.
# Usage: scripts/check-register-access.sh [DLL64 [DLL32]]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pe-tables.sh"

functions=(Quorel_in Quorel_out Quorel_sts Quorel_srst Quorel_enint Quorel_disint Quorel_ackint Quorel_in2
  Quorel_out2 Quorel_open2)
decoder=build/native/bin/decode_byte_access

# byte_accesses NAME < DISASSEMBLY: "hex bytes<TAB>instruction" for each
# byte-sized access through a register in the function (objdump with size
# suffixes everywhere: movb, cmpb, movzbl; each instruction's bytes on one
# line).
byte_accesses() {
  awk -F'\t' -v name="<$1>:" '
    / <.*>:$/ { on = index($0, name) > 0; next }
    !on || NF < 3 { next }
    {
      insn = $3
      sub(/^((lock|rep[a-z]*|notrack|bnd|[c-gs]s|data16|addr32) +)+/, "", insn)
      split(insn, words, " ")
      byte = words[1] ~ /^(mov[sz]b|set)/ || words[1] ~ /b$/
      memory = insn ~ /\((%|,%)/ && insn !~ /\(%[re]?(ip|sp)[,)]/ && words[1] !~ /^(lea|nop|prefetch)/
      if (byte && memory) { gsub(/ +$/, "", $2); print $2 "\t" $3 }
    }'
}

# check BITS DLL: the register exports of one DLL.
check() {
  local bits=$1 dll=$2 code name label accesses hex insn verdict checked=0 count=0 before=$failures
  [[ -f $dll ]] || { fail "$dll: not built"; return; }
  echo "${dll##*/}"
  code=$("$(objdump_for "$bits")" -d -M suffix --insn-width=15 "$dll")
  for name in "${functions[@]}"; do
    # The label objdump gives the code: the plain name, or on x86 the decorated one.
    label=$(grep -oE "<_?$name(@[0-9]+)?>:" <<<"$code" | head -1 | tr -d '<>:')
    [[ -n $label ]] || { fail "$name: not found in $dll"; continue; }
    count=$((count + 1))
    name=$label
    accesses=$(byte_accesses "$name" <<<"$code")
    [[ -n $accesses ]] || continue
    while IFS=$'\t' read -r hex insn verdict; do
      checked=$((checked + 1))
      [[ $verdict == *" length=$(wc -w <<<"$hex")" ]] ||
        fail "$name: $hex ($insn) is a byte access the watched pages do not decode: $verdict"
    done < <(paste <(cat <<<"$accesses") <("$decoder" "$bits" < <(cut -f1 <<<"$accesses")))
  done
  if (( failures == before )); then
    pass "$checked byte accesses through a register in $count register exports, each a form the watched pages decode"
  else
    echo "  $checked byte accesses through a register checked in $count register exports"
  fi
}

build_targets native decode_byte_access >/dev/null
check 64 "${1:-build/win64/bin/Quorel_64.dll}"
check 32 "${2:-build/win32/bin/Quorel_32D.dll}"
exit $((failures > 0))
