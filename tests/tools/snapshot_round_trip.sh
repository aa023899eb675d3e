#!/usr/bin/env bash
# `quorel snapshot` and its replay: for each machine, Windows version and
# registry, what the tool prints of the machine equals what it prints of
# the replay (QUOREL_SIM_SNAPSHOT alone, every other setting unset). Last,
# a snapshot over an earlier one, refused without --force.
#
#   snapshot_round_trip.sh QUOREL REPO [RUNNER]
set -euo pipefail
tool=$1
repo=$2
runner=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The default machine and the real PCs' dumps (the lspci -n listing is not one).
machines=("$repo/backends/sim/machines/default.lspci" "$repo"/tests/data/replay/*.lspci-*x*.txt)
faults=$work/faults.lspci
cat "$repo/backends/sim/machines/default.lspci" "$repo/tests/data/snapshot/faults-added.lspci" >"$faults"
regs=$repo/backends/sim/machines
# The type-2 card described beyond ASCII, in each style of registry.
desc='Karte für Prüfstand'
for style in 9x nt5 nt6; do
  sed "s/Quorel type 2 card/$desc/" "$regs/default-$style.reg" >"$work/non-ascii-$style.reg"
done
# A 9x entry whose hardware key the lookup takes though an underscore stands
# for its first backslash: the snapshot must copy it too.
sed 's/PCI\\\\VEN_6A5D&DEV_494F/PCI_VEN_6A5D\&DEV_494F/; s/Enum\\PCI\\VEN_6A5D&DEV_494F/Enum\\PCI_VEN_6A5D\&DEV_494F/' \
  "$regs/default-9x.reg" >"$work/underscore-9x.reg"

# machine | Windows version | registry (- the default) | QUOREL_SCAN_PEER_BUSES at the
# snapshot, then at the commands | snapshot option | commands
rows=()
for machine in "${machines[@]}"; do
  # One card's dump (lspci -s) sits on a bus only the peer-bus probe reaches.
  peers="0 0"
  [[ $machine == *-s.txt ]] && peers="0 1"
  for version in 4.10 4.90 5.1 6.1; do
    rows+=("$machine|$version|-|$peers|-|list")
  done
done
rows+=(
  # A registry of another style than the version's: the replay must take the snapshot's.
  "${machines[0]}|5.1|$regs/default-nt6.reg|0 0|-|list"
  "$faults|6.1|-|0 0|--registers|list cards boards"
  "$faults|5.1|-|1 1|--registers|list boards"
  # Taken without the peer-bus probe, the snapshot still holds what it would find.
  "$faults|4.10|-|0 1|-|list cards"
  "${machines[0]}|4.10|$work/non-ascii-9x.reg|0 0|-|list"
  "${machines[0]}|4.90|$work/underscore-9x.reg|0 0|-|list"
  "${machines[0]}|5.1|$work/non-ascii-nt5.reg|0 0|-|list"
  "${machines[0]}|6.1|$work/non-ascii-nt6.reg|0 0|-|list cards"
)

# quorel with only the given settings.
quorel() {
  env -u QUOREL_SIM_MACHINE -u QUOREL_SIM_WINVER -u QUOREL_SIM_REGISTRY -u QUOREL_SIM_SNAPSHOT \
    -u QUOREL_SIM_LOG -u QUOREL_SCAN_PEER_BUSES "${settings[@]}" $runner "$tool" "$@"
}

status=0
n=0
mkdir "$work/replays"
for row in "${rows[@]}"; do
  IFS='|' read -r machine version registry peers option commands <<<"$row"
  read -r snap_peer peer <<<"$peers"
  n=$((n + 1))
  snap=$work/snap$n
  machine_settings=(QUOREL_SIM_MACHINE="$machine" QUOREL_SIM_WINVER="$version")
  [[ $registry == - ]] || machine_settings+=(QUOREL_SIM_REGISTRY="$registry")
  opts=()
  [[ $option == - ]] || opts=("$option")
  printf '%-44s %-5s %-16s peers %s %s\n' "$(basename "$machine")" "$version" "$(basename "$registry")" "$peers" "$option"
  settings=("${machine_settings[@]}" QUOREL_SCAN_PEER_BUSES="$snap_peer")
  # A scan that finds nothing (one card's dump without the opt-in) exits 1;
  # the files are written all the same.
  quorel snapshot "$snap" "${opts[@]}" >/dev/null 2>&1 || [[ -f $snap/machine.txt ]]
  for command in $commands; do
    settings=("${machine_settings[@]}" QUOREL_SCAN_PEER_BUSES="$peer")
    quorel "$command" --json >"$work/before.json" 2>/dev/null || true
    settings=(QUOREL_SIM_SNAPSHOT="$snap" QUOREL_SCAN_PEER_BUSES="$peer")
    quorel "$command" --json >"$work/after.json" 2>/dev/null || true
    if [[ ! -s $work/before.json ]] || ! diff "$work/before.json" "$work/after.json" >"$work/diff"; then
      echo "  $command --json differs on the replay:"
      sed 's/^/    /' "$work/diff"
      status=1
    fi
    cp "$work/after.json" "$work/replays/$n-$command.json"
    if [[ $registry == */non-ascii-* && $command == list ]] && ! grep -q "$desc" "$work/after.json"; then
      echo "  $command --json of the replay lacks '$desc'"
      status=1
    fi
  done
done
# Every replay's JSON parses, as UTF-8.
python3 -c 'import json, sys; [json.load(open(f, encoding="utf-8")) for f in sys.argv[1:]]' \
  "$work"/replays/*.json || status=1

# An earlier snapshot stays unless --force is given.
settings=()
refusal="quorel snapshot: $work/snap1 already holds a snapshot (about.txt, machine.txt, registry.reg);"
refusal+=" give --force"
if quorel snapshot "$work/snap1" >/dev/null 2>"$work/err" || [[ $(<"$work/err") != "$refusal"* ]]; then
  echo "  a second snapshot into snap1 was not refused: $(<"$work/err")"
  status=1
fi
quorel snapshot "$work/snap1" --force >/dev/null || status=1
exit $status
