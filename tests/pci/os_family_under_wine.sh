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
# check VERSION STYLE FAMILY COPY
check() {
  printf '%-6s ' "$1"
  "$wine_run" "$dir/$4" "$3" || { echo "  expected OsFamily $3"; return 1; }
}
wine_each_version "$probe" os_family_probe check
