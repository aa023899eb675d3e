#!/usr/bin/env bash
# `quorel snapshot` and its replay: for each machine, Windows version and
# registry, what the tool prints of the machine equals what it prints of
# the replay (QUOREL_SIM_SNAPSHOT alone, every other setting unset).
#
#   snapshot_round_trip.sh QUOREL REPO [RUNNER]
set -euo pipefail
tool=$1
repo=$2
runner=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The default machine and the real PCs' dumps (the lspci -n listing is not one).
machines=("$repo/sim/machines/default.lspci" "$repo"/tests/data/replay/*.lspci-*x*.txt)
faults=$repo/tests/data/snapshot/faults.lspci
regs=$repo/sim/machines

# machine | Windows version | registry (- the default) | peer buses | snapshot option | commands
rows=()
for machine in "${machines[@]}"; do
  for version in 4.10 4.90 5.1 6.1; do
    rows+=("$machine|$version|-|0|-|list")
  done
done
rows+=(
  # A registry of another style than the version's: the replay must take the snapshot's.
  "${machines[0]}|5.1|$regs/default-nt6.reg|0|-|list"
  "$faults|6.1|-|0|--registers|list cards boards"
  "$faults|5.1|-|1|--registers|list boards"
  "$faults|4.10|-|1|-|list cards"
)

# quorel with only the given settings.
quorel() {
  env -u QUOREL_SIM_MACHINE -u QUOREL_SIM_WINVER -u QUOREL_SIM_REGISTRY -u QUOREL_SIM_SNAPSHOT \
    -u QUOREL_SIM_LOG -u QUOREL_SCAN_PEER_BUSES "${settings[@]}" $runner "$tool" "$@"
}

status=0
n=0
for row in "${rows[@]}"; do
  IFS='|' read -r machine version registry peer option commands <<<"$row"
  n=$((n + 1))
  snap=$work/snap$n
  settings=(QUOREL_SIM_MACHINE="$machine" QUOREL_SIM_WINVER="$version" QUOREL_SCAN_PEER_BUSES="$peer")
  [[ $registry == - ]] || settings+=(QUOREL_SIM_REGISTRY="$registry")
  opts=()
  [[ $option == - ]] || opts=("$option")
  printf '%-44s %-5s %-16s peer=%s %s\n' "$(basename "$machine")" "$version" "$(basename "$registry")" "$peer" "$option"
  quorel snapshot "$snap" "${opts[@]}" >/dev/null 2>&1
  for command in $commands; do
    quorel "$command" --json >"$work/before.json" 2>/dev/null || true
    settings=(QUOREL_SIM_SNAPSHOT="$snap" QUOREL_SCAN_PEER_BUSES="$peer")
    quorel "$command" --json >"$work/after.json" 2>/dev/null || true
    settings=(QUOREL_SIM_MACHINE="$machine" QUOREL_SIM_WINVER="$version" QUOREL_SCAN_PEER_BUSES="$peer")
    [[ $registry == - ]] || settings+=(QUOREL_SIM_REGISTRY="$registry")
    if [[ ! -s $work/before.json ]] || ! diff "$work/before.json" "$work/after.json" >"$work/diff"; then
      echo "  $command --json differs on the replay:"
      sed 's/^/    /' "$work/diff"
      status=1
    fi
  done
done
exit $status
