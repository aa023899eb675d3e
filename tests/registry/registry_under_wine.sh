#!/usr/bin/env bash
# The Windows version class against Wine's real GetVersionExW and the
# registry annotation against Wine's real registry, one Windows version per
# run: the default machine's registry of that version's style is imported
# with regedit, the probe classifies the version (set for the probe's file
# name under AppDefaults) and annotates the default machine, and the keys
# are removed again so that the next style starts clean. Wine keeps
# HKEY_DYN_DATA in memory only, so the import and the probe run in one
# session: both inside one cmd.
#
#   registry_under_wine.sh PROBE.exe DIR_OF_THE_DEFAULT_REG_FILES WINE_RUN
set -euo pipefail
probe=$1
registry=$2
wine_run=$3
dir=$(dirname "$probe")

source "$(dirname "${BASH_SOURCE[0]}")/../support/wine_windows.sh"
# check VERSION STYLE FAMILY COPY
check() {
  wine_registry_files "$registry" "$2" "$dir"
  echo "== $1 ($2 registry)"
  local status=0
  (cd "$dir" && "$wine_run" cmd /c "regedit /S import-$2.reg && $4 $3") ||
    { echo "  expected every function annotated, OsFamily $3"; status=1; }
  (cd "$dir" && "$wine_run" regedit /S "remove-$2.reg") || { echo "  the keys stay imported"; status=1; }
  return $status
}
wine_each_version "$probe" registry_probe check
