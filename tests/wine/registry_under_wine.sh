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

source "$(dirname "${BASH_SOURCE[0]}")/wine_windows.sh"
status=0
for case in "${wine_windows_cases[@]}"; do
  IFS=: read -r version style family <<<"$case"
  copy=registry_probe_$version.exe
  wine_as_version "$probe" "$version" "$copy"
  wine_registry_files "$registry" "$style" "$dir"
  echo "== $version ($style registry)"
  if ! (cd "$dir" && "$wine_run" cmd /c "regedit /S import-$style.reg && $copy $family"); then
    echo "  expected every function annotated, OsFamily $family"
    status=1
  fi
  (cd "$dir" && "$wine_run" regedit /S "remove-$style.reg")
done
exit $status
