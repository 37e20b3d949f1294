#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer + ASan + UBSan; scripts/setup --fuzz
# installs clang) and runs each one.
#   fuzz/run.sh [SECONDS_PER_TARGET]      (default 60)
# New inputs that libFuzzer finds go to fuzz/corpus-work/<target>/ (not kept in
# git); the seeds in fuzz/corpus/<target>/ are only read. A crash leaves its
# input as crash-* in the current folder and ends the run with a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
CMAKE_BUILD_PARALLEL_LEVEL=2 scripts/setup --fuzz --build-dir build/fuzz \
  --target fuzz_lzrw1kh --target fuzz_lzhuf --target fuzz_roundtrip --target fuzz_tables
for target in lzrw1kh lzhuf roundtrip tables; do
  mkdir -p "fuzz/corpus-work/$target"
  echo "== fuzz_$target for ${seconds}s"
  build/fuzz/bin/fuzz_$target "fuzz/corpus-work/$target" "fuzz/corpus/$target" \
    -max_len=70000 -max_total_time="$seconds" -print_final_stats=1
done
