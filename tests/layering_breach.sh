#!/usr/bin/env bash
# scripts/check-layers.sh must fail on each planted include and name its file.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
while read -r file include; do
  rm -rf "$work/tree" && mkdir "$work/tree"
  cp -r "$root"/{CMakeLists.txt,src,include,sim,backends,native_winapi,process_env,tools,bench,examples,fuzz} "$work/tree"
  echo "#include \"$include\"" >>"$work/tree/$file"
  out=$(bash "$root/scripts/check-layers.sh" "$work/tree") && out="passed"
  grep -qF "$file" <<<"$out" || { echo "$include in $file not caught: $out"; failures=$((failures + 1)); }
done <<'CASES'
src/pci/bus_scan.cpp sim/environment.h
src/pci/bus_scan.cpp machine.h
src/registry/annotate.cpp native_winapi/controls/fake_registry.h
src/api/card_state.cpp tests/support/card_facts.h
src/api/card_state.cpp process_env/process_env.h
native_winapi/windows.cpp pci/config_access.h
tools/quorel/main.cpp pci/device_list.h
tools/quorel/doctor/report.cpp card_regs.h
bench/discovery_bench.cpp ../src/api/card_state.h
CASES
exit $(( failures > 0 ))
