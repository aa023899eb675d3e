#!/usr/bin/env bash
# The registry annotation against Wine's real registry, one Windows version
# per run: the default machine's registry of that version's style is
# imported with regedit, the probe annotates the default machine under that
# version (set for the probe's file name under AppDefaults), and the keys are
# removed again so that the next style starts clean. Wine keeps
# HKEY_DYN_DATA in memory only, so the import and the probe run in one
# session: both inside one cmd.
#
#   registry_under_wine.sh PROBE.exe DIR_OF_THE_DEFAULT_REG_FILES WINE_RUN
set -euo pipefail
probe=$1
registry=$2
wine_run=$3
dir=$(dirname "$probe")

# Wine's version name, the registry style, the class the library derives.
status=0
for case in win98:9x:0 winme:9x:1 win2k:nt5:3 winxp:nt5:3 win7:nt6:4; do
  IFS=: read -r version style family <<<"$case"
  copy=registry_probe_$version.exe
  cp "$probe" "$dir/$copy"
  # regedit reads version-5 files in UTF-16 (iconv writes the BOM); the
  # removal is the same file with every section turned into a deletion.
  iconv -f UTF-8 -t UTF-16 "$registry/default-$style.reg" >"$dir/import-$style.reg"
  sed 's/^\[HKEY/[-HKEY/' "$registry/default-$style.reg" | iconv -f UTF-8 -t UTF-16 >"$dir/remove-$style.reg"
  "$wine_run" reg add "HKCU\\Software\\Wine\\AppDefaults\\$copy" /v Version /d "$version" /f >/dev/null
  echo "== $version ($style registry)"
  if ! (cd "$dir" && "$wine_run" cmd /c "regedit /S import-$style.reg && $copy $family"); then
    echo "  expected every function annotated, OsFamily $family"
    status=1
  fi
  (cd "$dir" && "$wine_run" regedit /S "remove-$style.reg")
done
exit $status
