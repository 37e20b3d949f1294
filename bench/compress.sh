#!/usr/bin/env bash
# Builds the compression benchmark (release build in build/bench) and runs it:
# Tlzrw1's LZRW1/KH and LZHUF against LZ4 on a 10 MB mix, then the speed ratios.
# By default each benchmark runs 5 times, interleaved at random with the others so
# that a busy moment of the machine hits all of them alike, and the ratios use
# the medians. Arguments replace those defaults and go to the benchmark program
# (for example --benchmark_filter=LZRW1KH). Exit status 2 when a target is not met.
set -euo pipefail
cd "$(dirname "$0")/.."
CMAKE_BUILD_PARALLEL_LEVEL=2 scripts/setup --bench --build-dir build/bench --target bench_compress
if [ $# -eq 0 ]; then
  set -- --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true
fi
exec build/bench/bin/bench_compress "$@"
