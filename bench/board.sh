#!/usr/bin/env bash
# Figures of the board on a virtual display (Xvfb), in a solo game whose server
# runs in the same process, as in the real program:
#  - key press to letter tile drawn (p50, p99);
#  - Enter to "Create Another Word" shown, over the loopback connection (p50, p99);
#  - CPU time of the process while a round runs untouched (countdown ticking).
#   bench/board.sh
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != --inside ]; then
  CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} \
    scripts/setup --bench --build-dir build/bench --target bench_board_latency --packages xvfb
  exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24 -noreset" "$0" --inside
fi
export VEXLO_HOME=$(mktemp -d) XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$VEXLO_HOME" "$XDG_RUNTIME_DIR"' EXIT
build/bench/bin/bench_board_latency
