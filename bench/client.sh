#!/usr/bin/env bash
# Figures of the game window on a virtual display (Xvfb), solo start:
#  - time from launch to "You are Connected." in the chat (median of RUNS starts);
#  - CPU time of an idle solo window over 10 seconds, and its resident memory,
#    measured from outside on the real build/bin/vexlo.
#   bench/client.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
if [ "${2:-}" != --inside ]; then
  CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} \
    scripts/setup --bench --build-dir build/bench --target bench_client_startup --target vexlo --packages xvfb
  exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24 -noreset" "$0" "$runs" --inside
fi
build=build/bench
export VEXLO_HOME=$(mktemp -d) XDG_RUNTIME_DIR=$(mktemp -d)
trap 'rm -rf "$VEXLO_HOME" "$XDG_RUNTIME_DIR"' EXIT
results=$VEXLO_HOME/results
port=27800
for _ in $(seq "$runs"); do
  port=$((port + 1))
  VEXLO_PORT=$port "$build/bin/bench_client_startup" "$(date +%s%N)" >>"$results" 2>/dev/null
done
median() {
  grep -o "\b$1=[^ ]*" "$results" | cut -d= -f2 | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
connected=$(median launch_to_connected_ms)
met=$(awk -v r="$connected" 'BEGIN { print (r < 500 ? "met" : "NOT MET") }')
printf '%-36s %s\n' \
  "launch to main()" "$(median launch_to_main_ms) ms (median of $runs)" \
  "launch to \"You are Connected.\"" "$connected ms   target < 500 ms: $met"

# The real program, idle after its solo start.
VEXLO_PORT=$((port + 1)) "$build/bin/vexlo" 2>/dev/null &
pid=$!
sleep 3
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
sleep 10
t1=$(ticks)
rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
kill "$pid"
cpu=$(awk -v a="$t0" -v b="$t1" -v hz="$hz" 'BEGIN { printf "%.2f", (b - a) / hz / 10 * 100 }')
met=$(awk -v c="$cpu" 'BEGIN { print (c < 1 ? "met" : "NOT MET") }')
printf '%-36s %s\n' \
  "idle solo window, CPU over 10 s" "$cpu % of a core ($((t1 - t0)) ticks of 1/$hz s)   target < 1 %: $met" \
  "idle solo window, resident memory" "$rss KiB"
