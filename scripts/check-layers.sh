#!/usr/bin/env bash
# Checks that dependencies run one way (docs/architecture.md):
#  - the backends (backends/*/) include their own headers, the
#    driver-access contract (ulvexa.h), process_env/, card_model/ and the
#    settings header, nothing else: no header of the library's core;
#  - card_model/ includes its own headers, process_env/ and the settings
#    header (and toml++, through <>), nothing else;
#  - tools/ and bench/ include no header of the core but the facade
#    (api/inspect.h; include/quorel.h lives outside src/) and the contracts:
#    the Windows API (platform/windows_api.h: <windows.h>, or its native
#    stand-in) and the driver-access contract (ulvexa.h, whose DLL the
#    Windows tool binds itself), and card_model/'s headers; named by its path
#    below src/, by its own name or by a path through src/ alike;
#  - examples/ include only quorel.h, as an application does;
#  - src/ includes only its own headers, include/quorel.h and the settings
#    header: nothing of backends/, tests/, native_winapi/ or process_env/ (the
#    native Windows layer is reached through platform/windows_api.h alone);
#  - native_winapi/ and process_env/ include nothing of src/ but
#    platform/windows_api.h;
#  - no build file outside tests/ names a file of tests/ (fuzz/ and testkit/
#    included);
#  - the product includes nothing of testkit/ (what tests and fuzzers build
#    their inputs with: no header of its names) and no build file of it
#    names testkit/ or its libraries;
#  - no C or C++ file outside tests/ spells a QUOREL_ name in a string
#    literal but settings/settings.h, where every setting is named once.
#    Comments may name a setting, and tests spell the names themselves,
#    as users type them, so that a wrong name in the header shows.
# Prints each offending line; exits 1 if there is any. ROOT (default: this
# repository) lets a test check a copy with a planted breach.
set -euo pipefail
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
cd "$root"
layers='(api|pci|registry|driver|platform|trace)/'
failures=0

# offend WHAT: reports the grep matches read from stdin.
offend() {
  local found
  found=$(cat)
  [[ -z $found ]] && return 0
  echo "$1:"
  sed 's/^/  /' <<<"$found"
  failures=$((failures + 1))
}

# matches PATTERN PATH...: grep -rnE that is not an error when nothing matches.
matches() { grep -rnE "$@" || true; }

settings_header=settings/settings.h
# quoted_includes PATH...: "file:line:name" for each #include "name".
quoted_includes() {
  local file line text
  while IFS=: read -r file line text; do
    text=${text#*\"}
    echo "$file:$line:${text%%\"*}"
  done < <(matches '^ *# *include +"' "$@" --include='*.h' --include='*.cpp' --include='*.c')
}
# The quoted includes of a backend that name none of its own files, nor
# the contract, process_env/, card_model/ or the settings header.
foreign_backend_includes() {
  local file line name backend
  while IFS=: read -r file line name; do
    backend=$(cut -d/ -f1-2 <<<"$file")
    [[ $name == ulvexa.h || $name == process_env/* || $name == card_model/* ||
       $name == "$settings_header" || -f $(dirname "$file")/$name || -f $backend/$name ]] ||
      echo "$file:$line: #include \"$name\""
  done < <(quoted_includes backends)
}
offend "a backend includes what is neither its own, the contract, process_env/, card_model/ nor the settings" < <(foreign_backend_includes)
# The quoted includes of card_model/ that name none of its own files, nor
# process_env/ or the settings header.
foreign_card_model_includes() {
  local file line name
  while IFS=: read -r file line name; do
    [[ $name == process_env/* || $name == "$settings_header" || $name != */* && -f card_model/$name ]] ||
      echo "$file:$line: #include \"$name\""
  done < <(quoted_includes card_model)
}
offend "card_model/ includes what is neither its own, process_env/ nor the settings" < <(foreign_card_model_includes)
# The quoted includes of tools/ and bench/ that name a core header.
core_includes() {
  local file line name base local
  while IFS=: read -r file line name; do
    base=${name##*/}
    case $name in api/inspect.h | platform/windows_api.h | ulvexa.h | driver/ulvexa.h | card_model/*.h) continue ;; esac
    local=$(realpath -m "$(dirname "$file")/$name")
    if [[ $local != "$PWD"/src/* ]]; then
      [[ -f $local || -f tools/quorel/$name ]] && continue
    fi
    [[ -f src/$name || -f src/${name##*src/} || -n $(find src -name "$base" -print -quit) ]] &&
      echo "$file:$line: #include \"$name\""
  done < <(quoted_includes tools bench)
}
offend "tools/ or bench/ include core headers beyond the facade and the contracts" < <(core_includes)
offend "examples/ include the library's internals (only quorel.h)" < <(matches "#include +\"$layers" examples)
# The quoted includes of src/ that name no file of src/ or include/, and
# are not the settings header.
foreign_src_includes() {
  local file line name
  while IFS=: read -r file line name; do
    [[ -f src/$name || -f $(dirname "$file")/$name || -f include/$name || $name == "$settings_header" ]] ||
      echo "$file:$line: #include \"$name\""
  done < <(quoted_includes src)
}
offend "src/ includes what is not the library's own" < <(foreign_src_includes)
offend "native_winapi/ or process_env/ include src/ beyond platform/windows_api.h" < <(
  matches "#include +\"$layers" native_winapi process_env | { grep -v '"platform/windows_api.h"' || true; })
product=(src settings backends native_winapi process_env card_model tools bench examples)
offend "build files outside tests/ use files of tests/" < <(
  matches --include=CMakeLists.txt '^[^#]*tests/' CMakeLists.txt "${product[@]}" fuzz testkit)
testkit_headers=$(cd testkit && ls -- *.h | sed 's/\./\\./' | paste -sd'|')
offend "the product includes testkit/ (for tests and fuzzers only)" < <(
  matches "#include +\"($testkit_headers)\"" "${product[@]}")
offend "build files of the product use testkit/ (for tests and fuzzers only)" < <(
  matches --include=CMakeLists.txt '^[^#]*(testkit/|quorel_testkit)' "${product[@]}")

# The string literals holding QUOREL_ in the C and C++ files outside
# tests/ (and build trees), comments and character literals skipped.
spelled_settings() {
  find . \( -path ./tests -o -path './build*' -o -path ./.git \) -prune -o \
    -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) ! -path "./$settings_header" -print0 |
    xargs -0 -r perl -0777 -ne '
      while (m{("(?:[^"\\\n]|\\.)*")|\x27(?:[^\x27\\\n]|\\.)*\x27|//[^\n]*|/\*.*?\*/}gs) {
        my ($literal, $at) = ($1, $-[0]);
        next unless defined $literal && $literal =~ /QUOREL_/;
        my $line = 1 + (substr($_, 0, $at) =~ tr/\n//);
        print substr($ARGV, 2), ":$line: $literal\n";
      }'
}
offend "QUOREL_ names spelled outside $settings_header (name them there, use its constants)" < <(spelled_settings)

(( failures == 0 )) && echo "layers: all checks passed"
exit $(( failures > 0 ))
