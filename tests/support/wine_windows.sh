# shellcheck shell=bash
# Sourced by the tests that run a program under Wine as each Windows
# version, with the default machine's registry of that version's style.
#
# Wine's version name, the registry style, the OsFamily the library derives.
wine_windows_cases=(win98:9x:0 winme:9x:1 win2k:nt5:3 winxp:nt5:3 win7:nt6:4 win10:nt6:4)

# wine_as_version PROGRAM VERSION COPY: copies PROGRAM beside itself as COPY
# and makes Wine report VERSION to it. Wine reports the version set for a
# program's file name under AppDefaults, so the copies do not disturb other
# tests.
wine_as_version() {
  cp "$1" "$(dirname "$1")/$3"
  "$wine_run" reg add "HKCU\\Software\\Wine\\AppDefaults\\$3" /v Version /d "$2" /f >/dev/null
}

# wine_each_version PROGRAM STEM CHECK: for each version of the table, a
# copy of PROGRAM named STEM_VERSION.exe that Wine reports the version to,
# then `CHECK VERSION STYLE FAMILY COPY`; fails if any check did.
wine_each_version() {
  local case version style family status=0
  for case in "${wine_windows_cases[@]}"; do
    IFS=: read -r version style family <<<"$case"
    wine_as_version "$1" "$version" "$2_$version.exe"
    "$3" "$version" "$style" "$family" "$2_$version.exe" || status=1
  done
  return $status
}

# wine_registry_files REG_DIR STYLE OUT_DIR: OUT_DIR/import-STYLE.reg, the
# default registry of that style as regedit reads version-5 files (UTF-16,
# iconv writes the BOM), and OUT_DIR/remove-STYLE.reg, the same with every
# section turned into a deletion.
wine_registry_files() {
  iconv -f UTF-8 -t UTF-16 "$1/default-$2.reg" >"$3/import-$2.reg"
  sed 's/^\[HKEY/[-HKEY/' "$1/default-$2.reg" | iconv -f UTF-8 -t UTF-16 >"$3/remove-$2.reg"
}
