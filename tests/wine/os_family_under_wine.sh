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

status=0
# Wine's version name and the class the library must derive from it.
for pair in win98:0 winme:1 win2k:3 winxp:3 win7:4 win10:4; do
  version=${pair%%:*}
  family=${pair##*:}
  copy=os_family_probe_$version.exe
  cp "$probe" "$dir/$copy"
  "$wine_run" reg add "HKCU\\Software\\Wine\\AppDefaults\\$copy" /v Version /d "$version" /f >/dev/null
  printf '%-6s ' "$version"
  if ! "$wine_run" "$dir/$copy" "$family"; then
    echo "  expected OsFamily $family"
    status=1
  fi
done
exit $status
