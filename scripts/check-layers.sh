#!/usr/bin/env bash
# Checks that dependencies run one way (docs/architecture.md):
#  - sim/ and backends/ include nothing of the library but the
#    driver-access contract;
#  - tools/ and bench/ include nothing of src/ but the inspection header
#    (and include/quorel.h, which lives outside src/) and the Windows API
#    (platform/windows_api.h: <windows.h>, or its native stand-in);
#  - examples/ include only quorel.h, as an application does;
#  - no build file outside tests/ names a file of tests/ (fuzz/ included).
# Prints each offending line; exits 1 if there is any.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
layers='(api|pci|registry|driver|platform)/'
failures=0

# offend WHAT: reports the grep matches read from stdin.
offend() {
  local found
  found=$(cat)
  [[ -z $found ]] && return 0
  echo "$1:"
  sed 's/^/  /' <<<"$found"
  failures=$((failures + 1))
}

# matches PATTERN PATH...: grep -rnE that is not an error when nothing matches.
matches() { grep -rnE "$@" || true; }

offend "sim/ or backends/ include the library's headers" < <(matches "#include +\"$layers" sim backends)
offend "tools/ or bench/ include src/ beyond api/inspect.h" < <(
  matches "#include +\"$layers" tools bench | { grep -vE '"(api/inspect|platform/windows_api).h"' || true; })
offend "examples/ include the library's internals (only quorel.h)" < <(matches "#include +\"$layers" examples)
offend "build files outside tests/ use files of tests/" < <(
  matches --include=CMakeLists.txt '^[^#]*tests/' CMakeLists.txt src sim backends tools bench examples fuzz)

(( failures == 0 )) && echo "layers: all checks passed"
exit $(( failures > 0 ))
