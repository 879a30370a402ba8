#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) and fuzzes
# each for a bounded time, starting from the generated seeds and the kept corpus. A crash, leak,
# timeout or sanitizer report fails the run and leaves the input in build-fuzz/findings/.
#   tools/fuzz.sh [SECONDS_PER_TARGET]      default 60
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
targets=(archive_listing text_helpers wine_hive wine_paths)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_seeds "${targets[@]/%/_fuzz}"
findings=build-fuzz/findings
mkdir -p "$findings"
for target in "${targets[@]}"; do
  work=$(mktemp -d)
  cp build-fuzz/fuzz/seeds/"$target"/* fuzz/corpus/"$target"/* "$work"/
  dictionary=()
  if [ -f fuzz/"$target".dict ]; then
    dictionary=(-dict=fuzz/"$target".dict)
  fi
  echo "fuzzing $target for ${seconds}s"
  log="$findings/$target.log"
  status=0
  build-fuzz/fuzz/"$target"_fuzz "${dictionary[@]}" -max_len=512 -timeout=10 \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/$target-" \
    "$work" >"$log" 2>&1 || status=$?
  rm -rf "$work"
  grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)' "$log" || true
  if [ "$status" -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" >&2 || true
    echo "fuzzing $target found a fault: see $log and the input beside it" >&2
    exit 1
  fi
done
