#!/usr/bin/env bash
# The trace DLL swapped in for the release DLL under Wine (64- or 32-bit, as
# built), with programs built against the release import library:
#  - the C multi-card example prints the same with either DLL, and its
#    trace matches EXPECTED line by line once times, durations, thread IDs,
#    addresses, folders and the bitness are masked;
#  - two threads reading at once: every line whole, the sequence unbroken,
#    two thread IDs with one line per call each;
#  - without QUOREL_TRACE the trace goes beside the program.
#
#   trace_under_wine.sh BIN_DIR EXPECTED WINE_RUN
set -euo pipefail
bin=$1
expected=$2
wine_run=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
windows_path() { echo "Z:${1//\//\\}"; }
# run PROGRAM [TRACE]: under Wine, the stand-in driver DLL found on PATH.
run() {
  WINEPATH=$(windows_path "$bin") QUOREL_TRACE=${2:+$(windows_path "$2")} "$wine_run" "$1" | tr -d '\r'
}

mask() {
  sed -E -e 's/[A-Z]:\\[^ ;"]*\\//g; s/Quorel_(64|32D)\.dll/QUOREL.dll/; s/(32|64)-bit/NN-bit/' \
    -e 's/^#([0-9]+) t=[0-9]+\.[0-9]us thread=[0-9]+ (.*) \([0-9]+\.[0-9]us\)$/#\1 \2/' \
    -e 's/process [0-9]+/process PID/; s/\(0x[0-9A-F]+\)/(POINTER)/; s/(MapPhysToLin.*) = 0x[0-9A-F]+$/\1 = WINDOW/' \
    -e 's/registry: [0-9]+ of them/registry: N of them/; s/ +$//' "$1"
}

echo "== the multi-card example, release and trace DLL"
mkdir "$work/release"
cp "$bin/trace/multi_card.exe" "$work/release/"
run "$work/release/multi_card.exe" >"$work/release.out" || fail "multi_card exits with $? (release DLL)"
run "$bin/trace/multi_card.exe" "$work/multi.trace" >"$work/trace.out" || fail "multi_card exits with $? (trace DLL)"
cmp -s "$work/release.out" "$work/trace.out" || fail "its output differs with the trace DLL"
[[ -s $work/release.out ]] || fail "no output"
diff -u "$expected" <(mask "$work/multi.trace") || fail "the trace differs from $expected"
threads=$(sed -nE 's/.* thread=([0-9]+) .*/\1/p' "$work/multi.trace" | sort -u | wc -l)
(( threads == 1 )) || fail "one thread made the calls, the trace shows $threads"

echo "== two threads"
run "$bin/trace/two_threads.exe" "$work/threads.trace" || fail "two_threads exits with $?"
line='^#[0-9]+ t=[0-9]+\.[0-9]us thread=[0-9]+ Quorel_[a-z0-9]+\([^)]*\) = [0-9x]+[0-9A-F]* \([0-9]+\.[0-9]us\)$'
calls=$(grep '^#' "$work/threads.trace" || true)
bad=$(grep -vE "$line" <<<"$calls" || true)
[[ -z $bad ]] || { fail "lines not whole:"; head -5 <<<"$bad"; }
[[ $(sed -E 's/^#([0-9]+) .*/\1/' <<<"$calls" | tr '\n' ' ') == "$(seq -s ' ' 1 402) " ]] ||
  fail "sequence is not 1..402"
per_thread=$(grep 'Quorel_in(5)' <<<"$calls" | sed -E 's/.* thread=([0-9]+) .*/\1/' | sort | uniq -c | awk '{ print $1 }' | tr '\n' ' ')
[[ $per_thread == "200 200 " ]] || fail "expected two threads of 200 reads each, got: $per_thread"

echo "== without QUOREL_TRACE: beside the program"
mkdir "$work/default"
cp "$bin/trace/two_threads.exe" "$bin"/trace/Quorel_*.dll "$work/default/"
(cd "$work" && run "$work/default/two_threads.exe") || fail "two_threads exits with $?"
[[ $(grep -c '^#' "$work/default/quorel-trace.txt" 2>/dev/null) == 402 ]] ||
  fail "no trace of 402 calls in the program's folder"

(( failures == 0 )) && echo "trace: all checks passed"
exit $(( failures > 0 ))
