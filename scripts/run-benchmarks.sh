#!/usr/bin/env bash
# Runs every benchmark program built into the given folder.
set -euo pipefail
dir=${1:-build/bench/bench}
shopt -s nullglob
for b in "$dir"/bench_*; do
  [[ -x "$b" ]] || continue
  echo "== $(basename "$b")"
  "$b"
done
