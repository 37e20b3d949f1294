#!/usr/bin/env bash
# Builds and runs the computer-player figures:
#  - words per 60-second round of each speed over ROUNDS seeded rounds and the time to
#    choose a word over every target pattern, on a simulated clock (bench_bots_play);
#  - CPU of vexlo-server --bots 5 --bot-speed fast with one person (who only watches
#    the clock) over a real one-round game of SECONDS seconds (bench_bots_cpu).
#   bench/bots.sh [ROUNDS]      (SECONDS=60 by default; the CPU part takes that long)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/serverport.sh
rounds=${1:-2000}
seconds=${SECONDS_PER_ROUND:-60}
build=build/bench
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} \
  scripts/setup --bench --build-dir "$build" --target vexlo-server --target bench_bots_play \
  --target bench_bots_cpu >/dev/null

"$build/bin/bench_bots_play" "$rounds"

echo
echo "== CPU of a hosting program: vexlo-server --bots 5 --bot-speed fast, one person, one ${seconds}-second round"
work=$(mktemp -d)
server_pid=
cleanup() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    kill -INT "$server_pid"
    wait "$server_pid" || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
"$build/bin/vexlo-server" --port 0 --seed 1 --bots 5 --bot-speed fast >"$work/out" 2>"$work/err" &
server_pid=$!
port=$(server_port "$work/out" "$server_pid")
[ -n "$port" ] || { echo "bots.sh: vexlo-server did not start" >&2; cat "$work/err" >&2; exit 1; }
"$build/bin/bench_bots_cpu" --port "$port" --pid "$server_pid" --bots 5 --seconds "$seconds"
echo "load average over the last minute: $(cut -d' ' -f1 /proc/loadavg)"
