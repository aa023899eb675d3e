#!/usr/bin/env bash
# scripts/check-layers.sh fails on a planted breach of its include rules and
# names the offending file: a copy of the tree gets one include at a time.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
while read -r file include; do
  rm -rf "$work/tree" && mkdir "$work/tree"
  cp -r "$root"/{CMakeLists.txt,src,include,sim,backends,native_winapi,process_env,tools,bench,examples,fuzz} "$work/tree"
  echo "#include \"$include\"" >>"$work/tree/$file"
  if out=$(bash "$root/scripts/check-layers.sh" "$work/tree"); then
    echo "not caught: $include in $file"
    failures=$((failures + 1))
  elif ! grep -qF "$file" <<<"$out"; then
    echo "caught without naming $file: $out"
    failures=$((failures + 1))
  fi
done <<'CASES'
src/pci/bus_scan.cpp sim/environment.h
src/pci/bus_scan.cpp machine.h
src/registry/annotate.cpp native_winapi/controls/fake_registry.h
src/api/card_state.cpp tests/support/card_facts.h
src/api/card_state.cpp process_env/process_env.h
native_winapi/windows.cpp pci/config_access.h
CASES
(( failures == 0 )) && echo "layering breaches: all caught"
exit $(( failures > 0 ))
