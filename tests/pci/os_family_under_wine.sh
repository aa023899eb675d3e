#!/usr/bin/env bash
# The Windows version class against Wine's real GetVersionExW, one Windows
# version per run. Wine reports the version set for a program's file name
# under HKCU\Software\Wine\AppDefaults, so each version gets a copy of the
# probe under its own name and the runs do not disturb other tests.
#
#   os_family_under_wine.sh PROBE.exe WINE_RUN
set -euo pipefail
probe=$1
wine_run=$2
dir=$(dirname "$probe")

source "$(dirname "${BASH_SOURCE[0]}")/../support/wine_windows.sh"
status=0
for case in "${wine_windows_cases[@]}"; do
  IFS=: read -r version _ family <<<"$case"
  copy=os_family_probe_$version.exe
  wine_as_version "$probe" "$version" "$copy"
  printf '%-6s ' "$version"
  if ! "$wine_run" "$dir/$copy" "$family"; then
    echo "  expected OsFamily $family"
    status=1
  fi
done
exit $status
