#!/usr/bin/env bash
# scripts/check-layers.sh must fail on each planted include (or, in a build
# file, line) and name its file.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
while read -r file include; do
  rm -rf "$work/tree" && mkdir "$work/tree"
  cp -r "$root"/{CMakeLists.txt,src,include,sim,backends,native_winapi,process_env,tools,bench,examples,fuzz,testkit} "$work/tree"
  line="#include \"$include\""
  [[ $file == */CMakeLists.txt ]] && line=$include
  echo "$line" >>"$work/tree/$file"
  out=$(bash "$root/scripts/check-layers.sh" "$work/tree") && out="passed"
  grep -qF "$file" <<<"$out" || { echo "$include in $file not caught: $out"; failures=$((failures + 1)); }
done <<'CASES'
src/pci/bus_scan.cpp sim/environment.h
src/pci/bus_scan.cpp machine.h
src/registry/annotate.cpp native_winapi/controls/fake_registry.h
src/api/card_state.cpp tests/support/test_files.h
src/api/card_state.cpp process_env/process_env.h
native_winapi/windows.cpp pci/config_access.h
tools/quorel/main.cpp pci/device_list.h
tools/quorel/doctor/report.cpp card_regs.h
bench/discovery_bench.cpp ../src/api/card_state.h
sim/machine.cpp machine_text.h
tools/quorel/CMakeLists.txt target_link_libraries(quorel PRIVATE quorel_testkit)
testkit/CMakeLists.txt target_include_directories(quorel_testkit PUBLIC ${PROJECT_SOURCE_DIR}/tests/support)
CASES
exit $(( failures > 0 ))
