#!/usr/bin/env bash
# Checks the import and export tables of the DLLs we ship and of the
# stand-in driver-access DLLs, as built by the win64 and win32 presets:
#  - Quorel imports only from Windows system DLLs and its driver library,
#    and from the driver library exactly the functions it calls, by name;
#  - Quorel exports exactly the names in tests/dll/quorel{64,32}.exports;
#  - the stand-in exports the six driver functions and needs only
#    kernel32 and msvcrt, so it loads anywhere the real one would.
# Usage: scripts/check-dll-tables.sh [WIN64_BIN WIN32_BIN [EXPORT_LISTS_DIR]]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bin64=${1:-build/win64/bin}
bin32=${2:-build/win32/bin}
lists=${3:-tests/dll}
driver_calls=(InitializeUlvexa MapPhysToLin PciCfgRead RemoveUlvexaDriver ShutdownUlvexa)
driver_exports=("${driver_calls[@]}" PciCfgWrite)
failures=0

objdump_for() {  # objdump_for 32|64
  local cross=x86_64-w64-mingw32-objdump
  [[ $1 == 32 ]] && cross=i686-w64-mingw32-objdump
  if command -v "$cross" >/dev/null; then echo "$cross"; else echo objdump; fi
}

# tables BITS DLL: one line per table entry, "import dll-name function"
# (DLL name in lower case, "#N" for an import by ordinal) or "export name".
tables() {
  "$(objdump_for "$1")" -p "$2" | awk '
    /^\tDLL Name: / { dll = tolower($3); next }
    /^$/            { dll = ""; exports = 0; next }
    dll != "" && /^\t[0-9a-fA-F]+\t/ {
      print "import", dll, ($3 == "<none>" ? "#" ($2 + 0) : $3); next }
    /^\[Ordinal\/Name Pointer\] Table/ { exports = 1; next }
    exports && /^\t\[ *[0-9]+\] / { sub(/^\t\[ *[0-9]+\] /, ""); print "export", $0 }'
}

fail() { printf '  FAIL %s\n' "$*"; failures=$((failures + 1)); }
pass() { printf '  ok   %s\n' "$*"; }

# same_set WHAT EXPECTED ACTUAL: compare two newline-separated lists.
same_set() {
  local what=$1 missing extra
  missing=$(comm -23 <(sort -u <<<"$2") <(sort -u <<<"$3") | sed '/^$/d')
  extra=$(comm -13 <(sort -u <<<"$2") <(sort -u <<<"$3") | sed '/^$/d')
  if [[ -z $missing && -z $extra ]]; then pass "$what"; return; fi
  fail "$what"
  [[ -z $missing ]] || sed 's/^/         missing:    /' <<<"$missing"
  [[ -z $extra ]] || sed 's/^/         unexpected: /' <<<"$extra"
}

# only_from WHAT TABLES ALLOWED-DLL...: every import comes from an allowed DLL.
only_from() {
  local what=$1 table=$2; shift 2
  local allowed=" $* " bad=() dll
  while read -r dll; do
    [[ $allowed == *" $dll "* ]] || bad+=("$dll")
  done < <(awk '$1 == "import" { print $2 }' <<<"$table" | sort -u)
  if (( ${#bad[@]} == 0 )); then pass "$what"; else fail "$what: also imports from ${bad[*]}"; fi
}

names() { printf '%s\n' "$@"; }
imports_from() { awk -v d="$2" '$1 == "import" && $2 == d { print $3 }' <<<"$1"; }
exports_of() { awk '$1 == "export" { print $2 }' <<<"$1"; }

check_quorel() {  # check_quorel BITS DLL DRIVER-DLL EXPORTS-FILE DRIVER-FUNCTION...
  local bits=$1 dll=$2 driver=$3 list=$4; shift 4
  local name table driver_lc
  name=$(basename "$dll"); driver_lc=$(tr '[:upper:]' '[:lower:]' <<<"$driver")
  echo "$name"
  [[ -f $dll ]] || { fail "$dll not built"; return; }
  table=$(tables "$bits" "$dll") || { fail "cannot read the tables of $dll"; return; }
  only_from "imports only from system DLLs and $driver" "$table" \
    kernel32.dll msvcrt.dll advapi32.dll user32.dll "$driver_lc"
  same_set "imports from $driver by name" "$(names "$@")" "$(imports_from "$table" "$driver_lc")"
  if [[ -f $list ]]; then
    same_set "exports match $list" "$(sed 's/[[:space:]]//g; /^#/d; /^$/d' "$list")" "$(exports_of "$table")"
  else
    echo "  skip exports: no $list"
  fi
}

check_standin() {  # check_standin BITS DLL
  local table
  echo "$(basename "$2") (stand-in)"
  [[ -f $2 ]] || { fail "$2 not built"; return; }
  table=$(tables "$1" "$2") || { fail "cannot read the tables of $2"; return; }
  same_set "exports the driver functions" "$(names "${driver_exports[@]}")" "$(exports_of "$table")"
  only_from "imports only from kernel32 and msvcrt" "$table" kernel32.dll msvcrt.dll
}

check_quorel 64 "$bin64/Quorel_64.dll" Ulvexa64.dll "$lists/quorel64.exports" "${driver_calls[@]}"
check_quorel 32 "$bin32/Quorel_32D.dll" Ulvexa32.dll "$lists/quorel32.exports" "${driver_calls[@]}" PciCfgWrite
check_standin 64 "$bin64/Ulvexa64.dll"
check_standin 32 "$bin32/Ulvexa32.dll"

if (( failures )); then echo "DLL tables: $failures check(s) failed"; exit 1; fi
echo "DLL tables: all checks passed"
