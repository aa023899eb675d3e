#!/usr/bin/env bash
# scripts/check-layers.sh must fail on each planted line and name its file.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
while read -r file planted; do
  rm -rf "$work/tree" && mkdir "$work/tree"
  cp -r "$root"/{CMakeLists.txt,src,include,settings,backends,native_winapi,process_env,card_model,tools,bench,examples,fuzz,testkit} "$work/tree"
  echo "$planted" >>"$work/tree/$file"
  out=$(bash "$root/scripts/check-layers.sh" "$work/tree") && out="passed"
  grep -qF "$file" <<<"$out" || { echo "$planted in $file not caught: $out"; failures=$((failures + 1)); }
done <<'CASES'
src/pci/bus_scan.cpp #include "backends/sim/environment.h"
src/pci/bus_scan.cpp #include "machine.h"
src/registry/annotate.cpp #include "native_winapi/controls/fake_registry.h"
src/api/card_state.cpp #include "tests/support/test_files.h"
src/api/card_state.cpp #include "process_env/process_env.h"
native_winapi/windows.cpp #include "pci/config_access.h"
backends/sim/machine.cpp #include "api/card_regs.h"
backends/sysfs/window_map.cpp #include "device_list.h"
tools/quorel/main.cpp #include "pci/device_list.h"
tools/quorel/doctor/report.cpp #include "card_regs.h"
bench/discovery_bench.cpp #include "../src/api/card_state.h"
tools/quorel/main.cpp const char* kLog = "QUOREL_SIM_LOG";
src/trace/writer.cpp const wchar_t* kName = L"QUOREL_TRACE";
backends/sim/machine.cpp #include "machine_text.h"
card_model/card_state.cpp #include "api/card_state.h"
card_model/model_reader.cpp #include "machine.h"
tools/quorel/CMakeLists.txt target_link_libraries(quorel PRIVATE quorel_testkit)
testkit/CMakeLists.txt target_include_directories(quorel_testkit PUBLIC ${PROJECT_SOURCE_DIR}/tests/support)
CASES
exit $(( failures > 0 ))
