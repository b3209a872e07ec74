#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each in turn from its checked-in seed corpus:
#   scripts/fuzz.sh                     a minute each, every target (what CI runs)
#   scripts/fuzz.sh 1800 enumerate      half an hour of one target
# A finding stops the run with its input saved under build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(convert_strict enumerate repair_name repair_buffer list_line repair_text)

scripts/setup-debian.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
mkdir -p build/fuzz/findings
for target in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  echo "== fuzzing $target for $seconds s"
  build/fuzz/fuzz/${target}_fuzzer -max_total_time="$seconds" -max_len=4096 -timeout=30 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$target-" \
    "$corpus" "fuzz/corpus/${target}_fuzzer" 2>&1 | grep -E '^(stat::number_of_executed_units|#[0-9]+ +DONE)|ERROR|SUMMARY|Test unit written' || true
  if ls build/fuzz/findings/"$target"-* >/dev/null 2>&1; then
    echo "fuzzing $target found a failing input: build/fuzz/findings/" >&2
    exit 1
  fi
done
