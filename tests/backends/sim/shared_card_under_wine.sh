#!/usr/bin/env bash
# One simulated card shared under Wine (QUOREL_SIM_SHARED) by a program of
# this bitness (STEPS, through the library, holding the card open) and the
# quorel tool of the other (OTHER_TOOL; TOOL, of this bitness, when that
# preset is not built):
#  - a plain card: what one writes the other reads;
#  - the example model: a conversion one starts is pending for the other,
#    the other's acknowledgement clears it for the first, and RESULT moves
#    on once per read, whichever process reads it.
#
#   shared_card_under_wine.sh STEPS TOOL OTHER_TOOL MODEL WINE_RUN
set -euo pipefail
steps=$1 tool=$2 other=$3 model=$4 wine_run=$(realpath "$5")
[[ -f $other ]] || { echo "note: $other is not built: the tool of this bitness stands in"; other=$tool; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
windows_path() { echo "Z:${1//\//\\}"; }
quorel() { "$wine_run" "$other" "$@" | tr -d '\r'; }
expect() { [[ $2 == "$3" ]] || fail "$1: expected '$3', got '$2'"; }
# until_there FILE: waits for the steps program to get there (a minute at most).
until_there() {
  for _ in $(seq 600); do [[ -e $1 ]] && return 0; sleep 0.1; done
  fail "the steps program never made $(basename "$1")"
}
# hold NAME STEP...: the steps program in the background, its output in NAME.out.
hold() {
  local name=$1
  shift
  "$wine_run" "$steps" "$@" >"$work/$name.out" 2>"$work/$name.err" &
  holder=$!
}
# done_holding NAME: waits for it to end; what it printed in $held.
done_holding() {
  wait "$holder" || fail "the steps program failed: $(cat "$work/$1.err")"
  held=$(tr -d '\r' <"$work/$1.out")
}
at() { windows_path "$work/$1"; }

echo "== a plain card"
export QUOREL_SIM_SHARED=wine-plain-$$
hold plain w5:42 "touch:$(at plain1)" "until:$(at go1)" r5
until_there "$work/plain1"
expect "the tool reads what the program wrote" "$(quorel read 0 5)" 0x42
quorel write 0 5 0x17
touch "$work/go1"
done_holding plain
expect "the program reads what the tool wrote" "$held" "r5 0x17"

echo "== a card that follows the example model"
export QUOREL_SIM_SHARED=wine-model-$$ QUOREL_SIM_MODEL=$(windows_path "$model")
hold model w5:01 "touch:$(at model1)" "until:$(at go2)" s r8 "touch:$(at model2)" "until:$(at go3)" r8
until_there "$work/model1"
status=$(quorel status 0)
[[ $status == *PENDING=1* ]] || fail "the conversion the program started is not pending for the tool: $status"
quorel irq 0 ack
touch "$work/go2"
until_there "$work/model2"
expect "RESULT after the program's read" "$(quorel read 0 RESULT | cut -d' ' -f1)" 0x83
touch "$work/go3"
done_holding model
[[ $held =~ ^s\ 0x([0-9A-F]{2}) ]] && (( (0x${BASH_REMATCH[1]} & 1) == 0 )) ||
  fail "the tool's acknowledgement did not clear PENDING for the program: $held"
expect "RESULT's reads in turn" "$(grep '^r8' <<<"$held" | tr '\n' ' ')" "r8 0x80 r8 0x87 "

(( failures == 0 )) && echo "shared card under Wine: all checks passed"
exit $(( failures > 0 ))
