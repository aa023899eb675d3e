# shellcheck shell=bash
# Shared by the scripts in this folder (sourced, not run): the repository
# root, messages, building a preset and timing the steps of a run.

QUOREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUOREL_JOBS=${QUOREL_JOBS:-2}
# CMake presets are looked up in the current directory.
cd "$QUOREL_ROOT" || exit 1

# quorel_version: the release's version, MAJOR.MINOR.0, from CMakeLists.txt.
quorel_version() {
  echo "$(sed -n 's/^project(Quorel VERSION \([0-9.]*\).*/\1/p' "$QUOREL_ROOT/CMakeLists.txt").0"
}

say() { printf '\n==> %s\n' "$*"; }

# build_preset PRESET [TARGET...]: configure and build one preset, all
# targets or only the ones named.
build_preset() {
  local preset=$1; shift
  local targets=()
  if (( $# )); then targets=(--target "$@"); fi
  cmake --preset "$preset" && cmake --build --preset "$preset" -j "$QUOREL_JOBS" "${targets[@]}"
}

# build_targets PRESET TARGET...: build targets of a preset, configuring it
# only when it never was (the build itself reruns CMake when a CMakeLists
# changed): quick when the tree is built already.
build_targets() {
  local preset=$1; shift
  [[ -f build/$preset/CMakeCache.txt ]] || cmake --preset "$preset" || return
  cmake --build --preset "$preset" -j "$QUOREL_JOBS" --target "$@"
}

# step NAME COMMAND...: run one step of a run, remember its outcome and wall
# time for summary; returns the command's status.
QUOREL_STEPS=()
QUOREL_FAILED=0
step() {
  local name=$1; shift
  local start=$SECONDS status=0 verdict=ok
  say "$name"
  "$@" || status=$?
  if (( status )); then verdict="FAILED (exit $status)"; QUOREL_FAILED=1; fi
  QUOREL_STEPS+=("$(printf '  %-34s %5ds  %s' "$name" $((SECONDS - start)) "$verdict")")
  return "$status"
}

# skip NAME REASON: note a step that could not run.
skip() {
  QUOREL_STEPS+=("$(printf '  %-34s %6s  skipped: %s' "$1" - "$2")")
}

# summary: print every step's outcome; fails if any step failed.
summary() {
  printf '\n==> Summary (%ds in all)\n' "$SECONDS"
  printf '%s\n' "${QUOREL_STEPS[@]}"
  return "$QUOREL_FAILED"
}
