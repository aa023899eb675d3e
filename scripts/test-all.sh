#!/usr/bin/env bash
# Builds all six presets, runs the unit tests natively, under ASan/UBSan,
# with 32-bit pointers under qemu-i386, over this machine's own PCI bus
# (linux-sysfs) and (64- and 32-bit Windows) under Wine, and checks the
# DLLs' import and export tables. Goes on after a failure so the summary shows
# everything; exits non-zero if anything failed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

logs=build/logs
rm -rf "$logs"
mkdir -p "$logs"

# Every test keeps its temporary files in a folder of its own and removes it
# when it ends. Natively those folders go below $scratch (TMPDIR), under Wine
# below the Wine prefix's temporary folder; both must end as they began.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
wine_temp_files() {
  local users=${QUOREL_WINEPREFIX:-build/.wine}/drive_c/users
  [[ -d $users ]] || return 0  # no Wine prefix yet, as on a fresh clone
  find "$users" -ipath '*/temp/*' -name 'quorel-*' 2>/dev/null | sort
}
wine_temp_before=$(wine_temp_files)

# run_tests PRESET: ctest, keeping the output to count the results. Not
# under Wine: its programs use Windows' temporary folder, and Wine itself
# would put its server's socket into TMPDIR.
run_tests() {
  local tmp=$scratch
  [[ $1 == win* ]] && tmp=${TMPDIR:-/tmp}
  TMPDIR=$tmp ctest --preset "$1" -j "$QUOREL_JOBS" --timeout 300 --no-tests=error 2>&1 |
    tee "$logs/ctest-$1.log"
}

# check_leftovers: fails, naming them, when the tests left files behind.
check_leftovers() {
  local left
  left=$({ find "$scratch" -mindepth 1; comm -13 <(echo "$wine_temp_before") <(wine_temp_files); } |
    sed '/^$/d')
  [[ -z $left ]] && return 0
  echo "the tests left $(wc -l <<<"$left") temporary files or folders behind:"
  head -20 <<<"$left"
  return 1
}

step "Install build dependencies" scripts/bootstrap.sh || { summary; exit 1; }

built=" "
for preset in native native-asan native32 linux-sysfs win64 win32; do
  if step "Build $preset" build_preset "$preset"; then built+="$preset "; fi
done

# The Wine prefix is made before ctest starts two programs at once.
step "Prepare Wine prefix" scripts/wine-run --init || true

for preset in native native-asan native32 linux-sysfs win64 win32; do
  if [[ $built == *" $preset "* ]]; then
    step "Test $preset" run_tests "$preset" || true
  else
    skip "Test $preset" "build failed"
  fi
done

# libFuzzer targets (their own clang preset): a crash, hang, leak or
# sanitizer report in 20 s of each fails the step.
step "Fuzz" scripts/run-fuzzers.sh 20 || true

step "Check for leftover temporary files" check_leftovers || true
step "Check DLL tables" scripts/check-dll-tables.sh || true
step "Check register hot path" scripts/check-hot-path.sh || true
step "Check register access forms" scripts/check-register-access.sh || true

# package_and_check: build the release zip, then check it as an engineer
# would receive it.
package_and_check() {
  local zip
  zip=$(scripts/package.sh | tail -1) && scripts/check-package.sh "$zip"
}
step "Release package" package_and_check || true
# The wheels and the NuGet package scripts/package.sh built beside the zip.
step "Python wheels, NuGet package" scripts/check-wheels.sh || true

status=0
summary || status=$?
# ctest ends with "N% tests passed, F tests failed out of T"; add them up.
shopt -s nullglob
awk '/tests passed, [0-9]+ tests failed out of/ { failed += $4; total += $NF }
     END { printf "tests: %d passed, %d failed\n", total - failed, failed }' /dev/null "$logs"/ctest-*.log
exit "$status"
