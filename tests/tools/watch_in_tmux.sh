#!/usr/bin/env bash
# `quorel watch` on a terminal: tmux's, 80x24. On the acquisition example
# the ALIVE bit (toggled every 10 ms) is seen to change, highlighted; e
# enables the interrupt; a field written at the prompt shows; q ends the
# watch with exit 0 and the terminal's settings as they were. On a card
# whose interrupt becomes pending every 6 s (watch_pending.toml) the key a
# acknowledges it; shared with another program (QUOREL_SIM_SHARED), that
# program's acknowledgement shows, and it sees the key e's enable.
#
#   watch_in_tmux.sh QUOREL REPO [WINE_RUN]    (with WINE_RUN, QUOREL is quorel.exe)
set -euo pipefail
tool=$1
repo=$2
wine_run=${3:-}
work=$(mktemp -d)
socket=$work/tmux  # a tmux server of our own: our environment, no one else's sessions
shared=quorel-watch-test-$$-$RANDOM  # the shared machine's name (Linux: /dev/shm/quorel-sim-NAME)
trap 'tmux -S "$socket" kill-server 2>/dev/null || true; rm -rf "$work" "/dev/shm/quorel-sim-$shared"' EXIT
status=0
what=

fail() { echo "FAIL ($what): $1"; status=1; }
# A path as the tool takes it: under Wine on drive Z:.
path() { printf '%s%s' "${wine_run:+Z:}" "$1"; }
quorel() { printf '%q ' env "$@" ${wine_run:+"$wine_run"} "$tool"; }
pane() { tmux -S "$socket" capture-pane -p "$@" -t watch; }
keys() { tmux -S "$socket" send-keys -t watch "$@"; }

# start ASSIGNMENTS... -- ARGS...: `quorel watch ARGS` in a new session;
# when it ends, its exit code, and the terminal's settings before and after.
start() {
  local env=() line
  while [[ $1 != -- ]]; do env+=("$1"); shift; done
  shift
  line="$(quorel "${env[@]}") watch $*"
  rm -f "$work/exit"
  tmux -S "$socket" new-session -d -s watch -x 80 -y 24 \
    "stty -g >'$work/before'; $line; echo \$? >'$work/exit'; stty -g >'$work/after'; sleep 600"
}

# shows PATTERN [SECONDS] [-e]: whether the pane shows it within the time.
shows() {
  local end=$((SECONDS + ${2:-20}))
  while ((SECONDS < end)); do
    pane ${3:-} | grep -qE -- "$1" && return 0
    sleep 0.1
  done
  return 1
}
expect() {
  shows "$@" && return 0
  fail "not shown: $1"
  pane | sed 's/^/  | /'
}

quit() {
  keys q
  local end=$((SECONDS + 20))
  until [[ -s $work/exit ]] || ((SECONDS >= end)); do sleep 0.1; done
  [[ $(cat "$work/exit" 2>/dev/null) == 0 ]] || fail "exit $(cat "$work/exit" 2>/dev/null || echo none) after q"
  cmp -s "$work/before" "$work/after" || fail "the terminal's settings differ after the watch"
  tmux -S "$socket" kill-session -t watch
}

what="acquisition example"
start "QUOREL_SIM_MODEL=$(path "$repo/backends/sim/models/acquisition.toml")" -- 0 -n 0.05
expect 'ALIVE=1'
expect 'ALIVE=0'
expect $'\e\\[[0-9;]*mALIVE=' 20 -e  # highlighted when it changed
keys e
expect 'enable sent'
expect 'IE=1 DONE'
keys w
keys -l 'CTRL.MODE averaged'
keys Enter
expect 'START=0 MODE=1 \(averaged\)'
expect 'CTRL \(register 5\): 0x00 -> 0x02'
keys w
keys -l 'CTL 1'
keys Enter
expect "error: the card model names no register 'CTL'"
quit

pending=QUOREL_SIM_MODEL=$(path "$repo/tests/tools/watch_pending.toml")
what="an interrupt pending every 6 s"
start "$pending" -- 0 -n 0.1
expect 'PENDING=1 IE=0'
keys a
expect 'acknowledge sent'
expect 'PENDING=0 IE=0' 4
quit

what="the card shared with another program"
start "$pending" "QUOREL_SIM_SHARED=$shared" -- 0 -n 0.1
expect 'PENDING=1 IE=0'
eval "$(quorel "$pending" "QUOREL_SIM_SHARED=$shared") irq 0 ack" || fail "the other program's ack"
expect 'PENDING=0 IE=0' 4
keys e
expect 'enable sent'
eval "$(quorel "$pending" "QUOREL_SIM_SHARED=$shared") status 0" | tr -d '\r' >"$work/status"
grep -q 'IE=1' "$work/status" || fail "the other program sees no enable: $(cat "$work/status")"
quit
exit $status
