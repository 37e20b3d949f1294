#!/usr/bin/env bash
# Computer players on a server of many tables, two builds side by side: for each
# size N, `vexlo-server --tables 2N --bots K` of each build in turn, with one raw
# player a table (bench_tables_load: each takes a new table, the server seats K
# computer players with it, every table starts a game, the player sends a word
# every 2 s and a chat line every 10 s). Prints bench_tables_load's line per run
# (RSS and PSS of the one process that holds the server and every computer
# player, CPU idle, in game and typing, word round trip), then AFTER / BEFORE.
#   bench/tablebots.sh BEFORE_BIN AFTER_BIN
#     BEFORE_BIN, AFTER_BIN: folders holding a built vexlo-server
#   SIZES="100 300" BOTS=5 SPEED=fast MEASURE=20 IDLE=5 REPEAT=2 bench/tablebots.sh ...
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/serverport.sh
[ $# -eq 2 ] || { sed -n '2,12p' "$0" >&2; exit 2; }
before=$(realpath "$1")
after=$(realpath "$2")
sizes=${SIZES:-"100 300"}
bots=${BOTS:-5}
speed=${SPEED:-fast}
measure=${MEASURE:-20}
idle=${IDLE:-5}
repeat=${REPEAT:-2}
for b in "$before" "$after"; do
  [ -x "$b/vexlo-server" ] || { echo "tablebots: no vexlo-server in $b" >&2; exit 2; }
done
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
scripts/setup --bench --build-dir build/bench --target bench_tables_load >/dev/null
ulimit -n 200000 2>/dev/null || ulimit -n "$(ulimit -Hn)"

work=$(mktemp -d)
pid=
stop() {
  if [ -n "$pid" ]; then kill -INT "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  pid=
}
trap 'stop; rm -rf "$work"' EXIT

# One run: the build's server, the load; appends the load's line to $work/<label>.<size>.
run() {
  local label=$1 bin=$2 n=$3
  local out="$work/out"
  # Room for twice the tables: a newcomer is placed beside others before it
  # takes its own table, and a table full of computer players sends it to a new one.
  nice "$bin/vexlo-server" --quiet --port 0 --tables $(( n * 2 )) --bots "$bots" --bot-speed "$speed" >"$out" 2>>"$work/err" &
  pid=$!
  local port
  port=$(server_port "$out" "$pid")
  [ -n "$port" ] || { echo "tablebots: vexlo-server did not start" >&2; cat "$work/err" >&2; exit 1; }
  local line
  line=$(nice build/bench/bin/bench_tables_load --ports "$port" --pids "$pid" --tables "$n" --players 1 \
    --measure "$measure" --idle "$idle")
  stop
  printf '%-6s %s\n' "$label" "$line"
  echo "$line" >>"$work/$label.$n"
}

# The mean of one figure ("RSS", "in game", ...; its first mention in a line)
# over a build's runs at a size.
mean() {
  while read -r l; do
    grep -o "$2 *[0-9.]*" <<<"$l" | head -1 | grep -o '[0-9.]*$'
  done <"$work/$1.$3" | awk '{ s += $1 } END { printf "%.3f", s / NR }'
}

echo "computer players: $bots a table at speed $speed, one raw player a table"
for n in $sizes; do
  for _ in $(seq "$repeat"); do
    run before "$before" "$n"
    run after "$after" "$n"
  done
  for figure in "RSS" "PSS" "CPU idle" "in game" "typing" "p50" "p99"; do
    b=$(mean before "$figure" "$n")
    a=$(mean after "$figure" "$n")
    awk -v n="$n" -v f="$figure" -v b="$b" -v a="$a" \
      'BEGIN { printf "tables %5d  %-8s before %10.3f  after %10.3f  after/before %s\n", n, f, b, a, (b > 0 ? sprintf("%.3f", a / b) : "-") }'
  done
done
if [ -s "$work/err" ]; then
  echo "tablebots: the servers wrote to standard error:" >&2
  head -20 "$work/err" >&2
fi
