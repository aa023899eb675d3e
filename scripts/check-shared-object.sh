#!/usr/bin/env bash
# Checks libquorel.so the way scripts/check-dll-tables.sh checks the DLLs:
#  - it exports exactly the sixteen plain names of the table of exports
#    (src/api/exports.txt): nothing of the stand-in, the platform layer or
#    the C++ runtime leaks out;
#  - it needs nothing but the C and C++ runtime libraries;
#  - it carries nothing only tools and tests call (tool_only_symbols).
# Usage: scripts/check-shared-object.sh LIBRARY
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/pe-tables.sh"
library=$1
runtime=(libc.so.6 libm.so.6 libstdc++.so.6 libgcc_s.so.1 ld-linux-x86-64.so.2)

echo "$(basename "$library")"
exports_match 64 "$(nm -D --defined-only "$library" | awk '{ print $NF }')"
outside=$(comm -23 <(readelf -d "$library" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort) \
  <(names "${runtime[@]}" | sort))
if [[ -z $outside ]]; then pass "needs only the C and C++ runtime"; else fail "also needs" $outside; fi
no_tool_symbols "no tool or test code" "$(nm -C "$library")"

(( failures == 0 )) && echo "shared object: all checks passed"
exit $(( failures > 0 ))
