#!/usr/bin/env bash
# `quorel snapshot` on a Windows PC and its replay, with Wine as the PC:
# the stand-in DLL as its driver, Wine's registry holding the default
# machine's entries of the version's style, Wine reporting each Windows
# version. `quorel list --json` of the replay must equal the machine's,
# replayed under Wine (the snapshot's registry.reg imported with regedit)
# and, when the native tool is built, natively (QUOREL_SIM_SNAPSHOT alone).
#
#   snapshot_under_wine.sh QUOREL.exe DIR_OF_THE_DEFAULT_REG_FILES WINE_RUN [NATIVE_QUOREL]
set -euo pipefail
tool=$1
registry=$2
wine_run=$3
native=${4:-}
bin=$(dirname "$tool")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/../support/wine_windows.sh"
desc='Karte für Prüfstand'
[[ -x $native ]] || echo "(no native quorel at '$native': the native replays are left out)"

# One session, since Wine keeps HKEY_DYN_DATA only while its server runs:
# the machine's list and snapshot, then its entries removed, the snapshot's
# imported and the replay's list, then those removed too. The type-2 card's
# description is beyond ASCII: it must reach every list as the same UTF-8.
session() {
  local exe="Z:${bin//\//\\}\\$1" style=$2
  printf '%s\r\n' @echo\ off \
    "regedit /S import-$style.reg" \
    "$exe list --json > before.json" \
    "$exe snapshot snap > nul" \
    "regedit /S remove-$style.reg" \
    "regedit /S snap\\registry.reg" \
    "set QUOREL_SIM_SNAPSHOT=snap" \
    "$exe list --json > after.json" \
    "regedit /S remove-$style.reg" >"$work/session.bat"
}

# check VERSION STYLE FAMILY COPY
check() {
  local version=$1 style=$2 copy=$4 failed=0 replay replays
  wine_registry_files "$registry" "$style" "$work"
  sed "s/Quorel type 2 card/$desc/" "$registry/default-$style.reg" | iconv -f UTF-8 -t UTF-16 >"$work/import-$style.reg"
  rm -rf "$work/snap" "$work"/*.json
  session "$copy" "$style"
  (cd "$work" && env -u QUOREL_SIM_MACHINE -u QUOREL_SIM_SNAPSHOT "$wine_run" cmd /c session.bat)
  echo "== $version ($style registry): $(sed -n 's/ (.*//; 2p' "$work/snap/about.txt" 2>/dev/null)"
  if ! grep -q '"registry_matched": 1' "$work/before.json"; then
    echo "  the machine's list shows no registry entry: the import did not take"
    failed=1
  fi
  if ! grep -q "\"device_desc\": \"$desc\"" "$work/before.json"; then
    echo "  the machine's list lacks the description '$desc'"
    failed=1
  fi
  replays=(after.json)
  if [[ -x $native ]]; then
    env -u QUOREL_SIM_MACHINE -u QUOREL_SIM_WINVER -u QUOREL_SIM_REGISTRY QUOREL_SIM_SNAPSHOT="$work/snap" \
      "$native" list --json >"$work/native.json" 2>/dev/null || true
    replays+=(native.json)
  fi
  for replay in "${replays[@]}"; do
    # Wine's cmd ends the lines it writes with CRLF.
    if ! diff <(tr -d '\r' <"$work/before.json") <(tr -d '\r' <"$work/$replay") >"$work/diff"; then
      echo "  $replay differs from the machine's list:"
      cut -c1-200 "$work/diff" | sed 's/^/    /'
      failed=1
    fi
    python3 -c 'import json, sys; json.load(open(sys.argv[1], encoding="utf-8"))' "$work/$replay" ||
      { echo "  $replay is not JSON in UTF-8"; failed=1; }
  done
  rm -f "$bin/$copy"
  return $failed
}
wine_each_version "$tool" quorel_snapshot check
