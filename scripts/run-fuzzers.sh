#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang, ASan, UBSan) and runs
# each from its seeds in fuzz/corpus/<name> for a while, QUOREL_JOBS at a
# time. Prints each target's executions per second and coverage (edges
# reached of those instrumented in the target, and libFuzzer's features); exits
# non-zero when any of them finds something: a crash, a sanitizer report, a
# failed check, a leak, an input that runs longer than the timeout (a scan
# that does not end) or uses too much memory.
#
#   scripts/run-fuzzers.sh [SECONDS] [NAME...]     (default: 20, every target)
#
# Everything a run writes (new inputs, crash files, logs) goes to a scratch
# folder, removed afterwards unless something was found; its path is then
# printed. The seeds in the repository are only read.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

seconds=${1:-20}
shift || true
names=("$@")
if (( ${#names[@]} == 0 )); then
  for dir in fuzz/corpus/*/; do names+=("$(basename "$dir")"); done
fi
for name in "${names[@]}"; do
  [[ -d fuzz/corpus/$name ]] || { echo "no fuzz target $name (see fuzz/corpus)" >&2; exit 2; }
done
timeout_seconds=10  # one input; a scan that does not end takes forever

work=$(mktemp -d "${TMPDIR:-/tmp}/quorel-fuzz.XXXXXX")
keep=0
trap '(( keep )) || rm -rf "$work"' EXIT

say "Build the fuzz targets"
build_preset fuzz fuzzers >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }

# run_one NAME: one target in a folder of its own (libFuzzer writes what it
# makes to the current folder and to the first corpus folder).
run_one() {
  local name=$1 dir=$work/$1
  local status=0
  mkdir -p "$dir/corpus"
  (cd "$dir" && "$QUOREL_ROOT/build/fuzz/bin/${name}_fuzzer" -max_total_time="$seconds" \
      -timeout="$timeout_seconds" -detect_leaks=1 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$dir/" "$dir/corpus" "$QUOREL_ROOT/fuzz/corpus/$name" >"$dir/log" 2>&1) ||
    status=$?
  echo "$status" >"$dir/status"
}

# report NAME: one line from the target's log; false when it found something.
report() {
  local dir=$work/$1 status
  status=$(cat "$dir/status")
  # libFuzzer's status lines: "#4096 pulse cov: 812 ft: 2256 corp: 236/17Kb ..."
  awk -v name="$1" -v status="$status" '
    /^#[0-9]+\t/ { for (i = 1; i < NF; i++) if ($i ~ /^(cov|ft|corp):$/) last[$i] = $(i + 1) }
    /^INFO: Loaded 1 modules/ { edges = substr($5, 2) }  # "(2463": the edges instrumented
    /^stat::number_of_executed_units:/ { runs = $2 }
    /^stat::average_exec_per_sec:/ { rate = $2 }
    END {
      printf "  %-15s %8s runs %6s exec/s  cov: %-11s ft: %-6s corpus: %-11s %s\n", name, runs, rate,
             last["cov:"] "/" edges, last["ft:"], last["corp:"],
             status == 0 ? "ok" : "FOUND SOMETHING (exit " status ")"
    }' "$dir/log"
  [[ $status == 0 ]]
}

say "Fuzz ${names[*]}: ${seconds}s each, $QUOREL_JOBS at a time"
running=0
for name in "${names[@]}"; do
  run_one "$name" &
  if (( ++running >= QUOREL_JOBS )); then wait -n || true; running=$((running - 1)); fi
done
wait

found=()
for name in "${names[@]}"; do report "$name" || found+=("$name"); done
(( ${#found[@]} == 0 )) && exit 0
keep=1
for name in "${found[@]}"; do
  say "$name: what it found"
  grep -E -m 12 'ERROR|SUMMARY|fuzz check failed|runtime error|Test unit written' "$work/$name/log" ||
    tail -20 "$work/$name/log"
done
echo "inputs, crash files and logs kept in $work"
exit 1
