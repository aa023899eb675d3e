#!/usr/bin/env bash
# Paths outside the ANSI code page, under Wine: a machine file, the call log,
# a snapshot's folder and its replay, all in a folder named 数据, given
# through the variables and the command line as a user would.
#
#   paths_under_wine.sh QUOREL.exe MACHINE_FILE WINE_RUN
set -euo pipefail
tool=$1
machine=$2
wine_run=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Wine hands the environment and the arguments over as UTF-8 in a UTF-8 locale.
export LC_ALL=C.UTF-8

folder=$work/数据
mkdir "$folder"
cp "$machine" "$folder/m.txt"
win() { local path=${1//\//\\}; printf 'Z:%s' "$path"; }
status=0
fail() { echo "  $1"; status=1; }
quorel() { env -u QUOREL_SIM_MACHINE -u QUOREL_SIM_SNAPSHOT -u QUOREL_SIM_LOG "$@"; }

quorel QUOREL_SIM_MACHINE="$(win "$folder/m.txt")" QUOREL_SIM_LOG="$(win "$folder/log.txt")" \
  "$wine_run" "$tool" list --json >"$work/list.json" 2>"$work/err" || fail "list: $(cat "$work/err")"
[[ -s $folder/log.txt ]] || fail "no call log in $folder"

quorel QUOREL_SIM_MACHINE="$(win "$folder/m.txt")" \
  "$wine_run" "$tool" snapshot "$(win "$folder/snap")" >"$work/out" 2>"$work/err" || fail "snapshot: $(cat "$work/err")"
[[ -s $folder/snap/machine.txt ]] || fail "no snapshot in $folder/snap"
grep -q '数据' "$work/out" || fail "the snapshot's message does not name the folder: $(cat "$work/out")"

quorel QUOREL_SIM_SNAPSHOT="$(win "$folder/snap")" \
  "$wine_run" "$tool" list --json >"$work/replay.json" 2>"$work/err" || fail "replay: $(cat "$work/err")"
diff <(tr -d '\r' <"$work/list.json") <(tr -d '\r' <"$work/replay.json") >/dev/null ||
  fail "the replay's list differs from the machine's"
exit $status
