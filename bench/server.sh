#!/usr/bin/env bash
# Builds vexlo-server and the server probe, starts a fresh server on a free port
# of 127.0.0.1 and prints the figures against their targets:
#  - idle CPU over IDLE seconds with nine connections logged in and doing nothing
#    (utime+stime and on-CPU time from /proc), and resident memory with them;
#  - round trip of chat relays (1,000) beside a bare loopback echo, p50 and p99;
#  - round trip of judged words, myword -> newword (300, all six seats playing), p50 and p99.
# Messages are paced at least 12 ms apart, under the server's 100 a second. The game's
# second is shortened to 100 ms (VEXLO_SECOND_MS) so the pauses between rounds pass
# quickly; judging is the same. Everything stays on 127.0.0.1 and stops by itself.
#   bench/server.sh [RUNS]    (each run takes about 45 s, on a fresh server)
# IDLE_SECONDS, CHATS and WORDS (default 10, 1000, 300) make a quicker check.
# SERVER=path/to/vexlo-server measures another build (an older one, side by side).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/serverport.sh
runs=${1:-1}
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
server=${SERVER:-build/bin/vexlo-server}
[ -n "${SERVER:-}" ] || scripts/setup --target vexlo-server >/dev/null
scripts/setup --bench --build-dir build/bench --target bench_server_probe >/dev/null

work=$(mktemp -d)
server_pid=
stop_server() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    kill -INT "$server_pid"
    wait "$server_pid" || echo "server.sh: vexlo-server exited with status $?" >&2
  fi
  server_pid=
}
trap 'stop_server; rm -rf "$work"' EXIT

for run in $(seq "$runs"); do
  if [ "$runs" -gt 1 ]; then echo "== run $run of $runs"; fi
  VEXLO_SECOND_MS=100 "$server" --quiet --port 0 --seed "$run" >"$work/out" 2>"$work/err" &
  server_pid=$!
  port=$(server_port "$work/out" "$server_pid")
  if [ -z "$port" ]; then
    echo "server.sh: vexlo-server did not start:" >&2
    cat "$work/err" >&2
    exit 1
  fi
  timeout 300 build/bench/bin/bench_server_probe --port "$port" --pid "$server_pid" \
    --idle-seconds "${IDLE_SECONDS:-10}" --chats "${CHATS:-1000}" --words "${WORDS:-300}" --gap-ms 12
  stop_server
  if [ -s "$work/err" ]; then
    echo "server.sh: vexlo-server wrote to standard error:" >&2
    cat "$work/err" >&2
  fi
  if [ "$run" -lt "$runs" ]; then echo; fi
done
