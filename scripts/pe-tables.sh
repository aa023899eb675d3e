# shellcheck shell=bash
# Reading the tables of Windows DLLs and programs, and comparing lists
# (sourced by the check-*.sh scripts). Checks count their failures in
# $failures.
failures=${failures:-0}

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

# export_ordinals BITS DLL: "ORDINAL-INDEX name" for every named export.
export_ordinals() {
  "$(objdump_for "$1")" -p "$2" | awk '
    /^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
    on && /^$/ { on = 0 }
    on { gsub(/[][]/, " "); print $1, $2 }'
}

names() { printf '%s\n' "$@"; }
imports_from() { awk -v d="$2" '$1 == "import" && $2 == d { print $3 }' <<<"$1"; }
exports_of() { awk '$1 == "export" { print $2 }' <<<"$1"; }
# exports_match 32|64 NAMES: the names are the table of exports' for that bitness.
exports_match() {
  same_set "exports match src/api/exports.txt" \
    "$(python3 "$(dirname "${BASH_SOURCE[0]}")/exports.py" names "$1")" "$2"
}

# What only tools, tests and fuzzers call: the probes run aside (peer buses,
# functions no scan reaches), the resets to the state at load, the
# inspection view, the native test controls.
tool_only_symbols='PeerBusFunctions|PeerProbeAside|WithDriverAside|UnscannedFunctions|AsideProbe|ResetDiscovery|ResetCardAccess|quorel::inspect::|fake_windows::|fake_registry::'

# no_tool_symbols WHAT SYMBOLS: SYMBOLS (demangled nm output of a library)
# holds the library's own code (ScanPeerBuses) and none of the above.
no_tool_symbols() {
  local found
  if ! grep -q 'ScanPeerBuses' <<<"$2"; then fail "$1: no symbols to look at"; return; fi
  found=$({ grep -E "$tool_only_symbols" <<<"$2" || true; } | sed -E 's/^[[:xdigit:] ]* [[:alpha:]] //' | sort -u)
  if [[ -z $found ]]; then pass "$1"; else fail "$1:"; sed 's/^/         /' <<<"$found"; fi
}
