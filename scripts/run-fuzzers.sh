#!/usr/bin/env bash
# Runs every fuzz program built into the given folder for FUZZ_SECONDS each (default 600). Each starts
# from a scratch copy of its saved inputs in fuzz/corpus/<reader>, so what it finds stays in the build
# folder: a crashing input lands in <build>/artifacts/<reader>/ and ends that run with an error.
set -euo pipefail
dir=${1:-build/fuzz/fuzz}
seconds=${FUZZ_SECONDS:-600}
root=$(cd "$(dirname "$0")/.." && pwd)
# The leaks of system libraries that the test suite also ignores.
export LSAN_OPTIONS="suppressions=$root/lsan-suppressions.txt:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
status=0
for program in "$dir"/fuzz_*; do
  [[ -x "$program" ]] || continue
  reader=${program##*/fuzz_}
  work="$dir/work/$reader"
  artifacts="$dir/artifacts/$reader"
  rm -rf "$work"
  mkdir -p "$work" "$artifacts"
  cp "$root/fuzz/corpus/$reader/"* "$work/"
  echo "== $reader: $seconds s"
  # Reports go to stderr on every bad input; -close_fd_mask=2 keeps them out of the fuzzer's output.
  if ! "$program" "$work" -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=4096 \
      -close_fd_mask=2 -artifact_prefix="$artifacts/" -print_final_stats=1; then
    echo "== $reader: FOUND A FAULT, input in $artifacts"
    status=1
  fi
done
exit $status
