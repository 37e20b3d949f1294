#!/usr/bin/env bash
# Many tables against one process: for each size, a fresh `vexlo-server --tables N`
# on 127.0.0.1 with six raw players a table (bench_tables_load, one epoll loop):
# they log in, sit idle (CPU with nobody in a game), every host starts a game
# (CPU in the game, nobody typing), then each player sends a word every 2 s and a
# chat line every 10 s for MEASURE seconds: the server's CPU, its resident memory
# (RSS, and PSS with shared pages counted once), and the word round trip
# (CMD_myword out, CMD_invalid back: the word is judged and is not one) p50/p99.
# Then the same number of tables as that many single-table processes.
#   bench/tables.sh                       sizes 1 10 100 1000 3000 10000, processes 1000
#   SIZES="10 100" PROCESSES=100 MEASURE=20 IDLE=5 bench/tables.sh
# 60,000 connections need 60,000 descriptors on each side: the file limit is
# raised as far as the hard limit lets, and a size whose six players a table
# would not fit under it gets one player a table (each asks for a table of its
# own) and a line saying so. Several 127.0.0.x source addresses keep the ports
# from running out. Runs under nice; prints the load average with each line.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/serverport.sh
sizes=${SIZES:-"1 10 100 1000 3000 10000"}
processes=${PROCESSES:-1000}
measure=${MEASURE:-20}
idle=${IDLE:-5}
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
scripts/setup --target vexlo-server >/dev/null
scripts/setup --bench --build-dir build/bench --target bench_tables_load >/dev/null
ulimit -n 200000 2>/dev/null || ulimit -n "$(ulimit -Hn)"
room=$(( $(ulimit -n) - 100 ))

work=$(mktemp -d)
pids=()
stop_all() {
  for p in "${pids[@]}"; do kill -INT "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  pids=()
}
trap 'stop_all; rm -rf "$work"' EXIT

# Starts one server with the arguments; appends its pid and port.
ports=()
start_server() {
  local out="$work/out.${#pids[@]}"
  nice build/bin/vexlo-server --quiet --port 0 "$@" >"$out" 2>>"$work/err" &
  pids+=($!)
  local port
  port=$(server_port "$out" "${pids[-1]}")
  [ -n "$port" ] || { echo "tables.sh: vexlo-server did not start" >&2; cat "$work/err" >&2; exit 1; }
  ports+=("$port")
}
join_by() { local IFS=,; echo "$*"; }

echo "targets at 1,000 tables: RSS <= 200 MB, word p99 <= 5 ms, idle CPU < 1 %"
for n in $sizes; do
  pids=(); ports=()
  start_server --tables "$n"
  players=6
  if [ $(( n * 6 )) -gt "$room" ]; then
    players=1
    echo "($n tables of six players need $(( n * 6 )) descriptors, the limit is $(ulimit -n): one player a table)"
  fi
  sources=$(( n * players / 20000 + 1 ))
  nice build/bench/bin/bench_tables_load --ports "${ports[0]}" --pids "${pids[0]}" --tables "$n" \
    --players "$players" --measure "$measure" --idle "$idle" --sources "$sources"
  stop_all
done

if [ "$processes" -gt 0 ]; then
  pids=(); ports=()
  for _ in $(seq "$processes"); do start_server; done
  nice build/bench/bin/bench_tables_load --ports "$(join_by "${ports[@]}")" --pids "$(join_by "${pids[@]}")" \
    --tables "$processes" --measure "$measure" --idle "$idle"
  stop_all
fi
if [ -s "$work/err" ]; then
  echo "tables.sh: the servers wrote to standard error:" >&2
  head -20 "$work/err" >&2
fi
