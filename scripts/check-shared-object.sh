#!/usr/bin/env bash
# Checks libquorel.so the way scripts/check-dll-tables.sh checks the DLLs:
#  - it exports exactly the names in the list (tests/dll/quorel64.exports,
#    the sixteen plain names): nothing of the stand-in, the platform layer
#    or the C++ runtime leaks out;
#  - it needs nothing but the C and C++ runtime libraries.
# Usage: scripts/check-shared-object.sh LIBRARY EXPORTS-FILE
set -euo pipefail
library=$1
list=$2
allowed_needed="libc.so.6 libm.so.6 libstdc++.so.6 libgcc_s.so.1 ld-linux-x86-64.so.2"
failures=0

# report WHAT EXPECTED ACTUAL: one line, and the differences of the two
# sorted lists when they differ.
report() {
  if [[ $2 == "$3" ]]; then echo "  ok   $1"; return; fi
  echo "  FAIL $1"
  diff <(echo "$2") <(echo "$3") | sed -n 's/^</         missing:    /p; s/^>/         unexpected: /p'
  failures=$((failures + 1))
}

echo "$(basename "$library")"
expected=$(sed 's/[[:space:]]//g; /^#/d; /^$/d' "$list" | sort)
exported=$(nm -D --defined-only "$library" | awk '{ print $NF }' | sort)
report "exports match $list" "$expected" "$exported"

needed=$(readelf -d "$library" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort)
outside=$(comm -23 <(echo "$needed") <(tr ' ' '\n' <<<"$allowed_needed" | sort))
if [[ -z $outside ]]; then
  echo "  ok   needs only the C and C++ runtime"
else
  echo "  FAIL also needs" $outside
  failures=$((failures + 1))
fi

(( failures == 0 )) && echo "shared object: all checks passed"
exit $(( failures > 0 ))
