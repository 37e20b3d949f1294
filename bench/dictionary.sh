#!/usr/bin/env bash
# Builds and runs the dictionary benchmarks and prints the figures:
#  - IsWord look-ups per second in memory against the record file searched on disk
#    (one seek and one 15-byte read per probe), side by side in one run, and their ratio;
#  - time from program start to a ready dictionary and target list, and the memory taken
#    (median of RUNS starts).
#   bench/dictionary.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}
build=build/bench
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} \
  scripts/setup --bench --build-dir "$build" --target bench_dictionary_lookup --target bench_dictionary_startup

echo "== IsWord look-ups: in memory against on disk (5 interleaved repetitions, medians)"
"$build/bin/bench_dictionary_lookup" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.2 --benchmark_display_aggregates_only=true

echo
echo "== Start to a ready dictionary and target list (median of $runs starts)"
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for _ in $(seq "$runs"); do
  "$build/bin/bench_dictionary_startup" "$(date +%s%N)" >>"$results"
done
# median NAME: the middle value of NAME=value over all starts
median() {
  grep -o "\b$1=[^ ]*" "$results" | cut -d= -f2 | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
ready=$(median launch_to_ready_ms)
met=$(awk -v r="$ready" 'BEGIN { print (r < 20 ? "met" : "NOT MET") }')
printf '%-34s %s\n' \
  "records" "$(median records)" \
  "constructing TDictn" "$(median dictn_ms) ms" \
  "constructing TargetList" "$(median targets_ms) ms" \
  "launch to main()" "$(median launch_to_main_ms) ms (process start, loading Qt)" \
  "launch to ready dictionary" "$ready ms   target < 20 ms: $met" \
  "heap taken" "$(median heap_bytes) bytes (the target list; the image is not copied)" \
  "resident memory added, anonymous" "$(median rss_anon_kib) KiB" \
  "resident memory added, file-backed" "$(median rss_file_kib) KiB (the image, read-only in the program file)"
