#!/usr/bin/env bash
# Checks the import and export tables of the DLLs we ship and of the
# stand-in driver-access DLLs, as built by the win64 and win32 presets:
#  - Quorel imports only from Windows system DLLs and its driver library,
#    and from the driver library exactly the functions it calls, by name;
#  - Quorel exports exactly the names of the table of exports
#    (src/api/exports.txt, through scripts/exports.py);
#  - the stand-in exports the six driver functions, DescribeUlvexa and
#    UlvexaWindowModel (optional, for tools; the library never imports
#    them) and needs only
#    kernel32 and msvcrt, so it loads anywhere the real one would;
#  - Quorel carries nothing only tools and tests call (tool_only_symbols);
#  - the trace flavour (BIN/trace) exports the same names at the same
#    ordinals as the release DLL and imports what it does plus exactly
#    trace_imports, what opening and writing the trace file needs;
#  - quorel.exe binds the driver library late (no load-time import), so it
#    starts without it.
# Usage: scripts/check-dll-tables.sh [WIN64_BIN WIN32_BIN [SIM64 SIM32]]
# (the stand-in DLLs are looked for in SIM64/SIM32, by default in the BIN folders)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pe-tables.sh"

bin64=${1:-build/win64/bin}
bin32=${2:-build/win32/bin}
sim64=${3:-$bin64}
sim32=${4:-$bin32}
driver_calls=(InitializeUlvexa MapPhysToLin PciCfgRead RemoveUlvexaDriver ShutdownUlvexa)
driver_exports=("${driver_calls[@]}" PciCfgWrite)
trace_imports=(
  "kernel32.dll GetCommandLineW" "kernel32.dll GetEnvironmentVariableW"
  "kernel32.dll GetModuleFileNameW" "kernel32.dll GetTempPathW"
  "msvcrt.dll _wfopen" "msvcrt.dll wcscat" "msvcrt.dll wcsrchr")
failures=0

check_quorel() {  # check_quorel BITS DLL DRIVER-DLL DRIVER-FUNCTION...
  local bits=$1 dll=$2 driver=$3; shift 3
  local name table driver_lc
  name=$(basename "$dll"); driver_lc=$(tr '[:upper:]' '[:lower:]' <<<"$driver")
  echo "$name"
  [[ -f $dll ]] || { fail "$dll not built"; return; }
  table=$(tables "$bits" "$dll") || { fail "cannot read the tables of $dll"; return; }
  only_from "imports only from system DLLs and $driver" "$table" \
    kernel32.dll msvcrt.dll advapi32.dll user32.dll "$driver_lc"
  same_set "imports from $driver by name" "$(names "$@")" "$(imports_from "$table" "$driver_lc")"
  exports_match "$bits" "$(exports_of "$table")"
}

check_standin() {  # check_standin BITS DLL
  local table
  echo "$(basename "$2") (stand-in)"
  [[ -f $2 ]] || { fail "$2 not built"; return; }
  table=$(tables "$1" "$2") || { fail "cannot read the tables of $2"; return; }
  same_set "exports the driver functions, DescribeUlvexa and UlvexaWindowModel" \
    "$(names "${driver_exports[@]}" DescribeUlvexa UlvexaWindowModel)" "$(exports_of "$table")"
  only_from "imports only from kernel32 and msvcrt" "$table" kernel32.dll msvcrt.dll
}

check_quorel 64 "$bin64/Quorel_64.dll" Ulvexa64.dll "${driver_calls[@]}"
check_quorel 32 "$bin32/Quorel_32D.dll" Ulvexa32.dll "${driver_calls[@]}" PciCfgWrite
# check_trace BITS RELEASE-DLL: its trace flavour beside it in trace/.
check_trace() {
  local bits=$1 release=$2 trace release_imports trace_imports_found
  trace=$(dirname "$release")/trace/$(basename "$release")
  echo "trace/$(basename "$trace")"
  [[ -f $trace && -f $release ]] || { fail "$trace or $release not built"; return; }
  same_set "exports the release DLL's names at its ordinals" \
    "$(export_ordinals "$bits" "$release")" "$(export_ordinals "$bits" "$trace")"
  release_imports=$(tables "$bits" "$release" | grep '^import' | cut -d' ' -f2-)
  trace_imports_found=$(tables "$bits" "$trace" | grep '^import' | cut -d' ' -f2-)
  same_set "imports the release DLL's and the trace file's functions" \
    "$(names "$release_imports" "${trace_imports[@]}")" "$trace_imports_found"
}
check_trace 64 "$bin64/Quorel_64.dll"
check_trace 32 "$bin32/Quorel_32D.dll"
check_standin 64 "$sim64/Ulvexa64.dll"
check_standin 32 "$sim32/Ulvexa32.dll"

# The tool- and test-only code stays in the core: none of it in the DLLs.
check_no_tool_code() {  # check_no_tool_code BITS DLL
  local nm=x86_64-w64-mingw32-nm
  [[ $1 == 32 ]] && nm=i686-w64-mingw32-nm
  echo "$(basename "$2") (symbols)"
  [[ -f $2 ]] || { fail "$2 not built"; return; }
  no_tool_symbols "no tool or test code" "$($nm -C "$2")"
}
check_no_tool_code 64 "$bin64/Quorel_64.dll"
check_no_tool_code 32 "$bin32/Quorel_32D.dll"
check_no_tool_code 64 "$bin64/trace/Quorel_64.dll"
check_no_tool_code 32 "$bin32/trace/Quorel_32D.dll"

check_tool_binds_late() {  # check_tool_binds_late BITS EXE DRIVER-DLL
  local table driver_lc
  driver_lc=$(tr '[:upper:]' '[:lower:]' <<<"$3")
  echo "$(basename "$2") ($1-bit tool)"
  [[ -f $2 ]] || { echo "  skip: $2 not built"; return; }
  table=$(tables "$1" "$2") || { fail "cannot read the tables of $2"; return; }
  if [[ -z $(imports_from "$table" "$driver_lc") ]]; then pass "no load-time import from $3"
  else fail "imports from $3 at load time: it would not start without it"; fi
}
check_tool_binds_late 64 "$bin64/quorel.exe" Ulvexa64.dll
check_tool_binds_late 32 "$bin32/quorel.exe" Ulvexa32.dll

if (( failures )); then echo "DLL tables: $failures check(s) failed"; exit 1; fi
echo "DLL tables: all checks passed"
