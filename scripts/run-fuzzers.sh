#!/usr/bin/env bash
# Runs every libFuzzer target (bin/*_fuzz) of a fuzz build for a bounded time.
#   scripts/run-fuzzers.sh [BUILD_DIR] [SECONDS_EACH]
set -euo pipefail
dir=${1:-build/fuzz}
seconds=${2:-30}
shopt -s nullglob
targets=("$dir"/bin/*_fuzz)
if [ ${#targets[@]} -eq 0 ]; then
  echo "run-fuzzers: no fuzz targets in $dir/bin; build the fuzz preset first" >&2
  exit 1
fi
passed=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus="$dir/corpus/$name"
  mkdir -p "$corpus"
  echo "fuzzing $name for $seconds s"
  if "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" > "$dir/$name.log" 2>&1; then
    grep -E 'stat::number_of_executed_units' "$dir/$name.log" || true
    passed=$((passed + 1))
  else
    tail -n 40 "$dir/$name.log"
    echo "$name found a fault; the input that caused it is named in $dir/$name.log" >&2
  fi
done
echo "fuzz: $passed passed, $(( ${#targets[@]} - passed )) failed"
[ "$passed" -eq "${#targets[@]}" ]
