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
targets=(lzrw1kh lzhuf roundtrip decoder)
build=()
for target in "${targets[@]}"; do build+=(--target "fuzz_$target"); done
CMAKE_BUILD_PARALLEL_LEVEL=2 scripts/setup --fuzz --build-dir build/fuzz "${build[@]}"
for target in "${targets[@]}"; do
  # A server message is at most 4096 bytes when it reaches the decoder.
  max_len=70000
  [ "$target" = decoder ] && max_len=4096
  mkdir -p "fuzz/corpus-work/$target"
  echo "== fuzz_$target for ${seconds}s"
  build/fuzz/bin/fuzz_$target "fuzz/corpus-work/$target" "fuzz/corpus/$target" \
    -max_len="$max_len" -max_total_time="$seconds" -print_final_stats=1
done
