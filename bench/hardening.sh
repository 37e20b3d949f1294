#!/usr/bin/env bash
# The cost of Debian's hardened build flags to the server: vexlo-server as
# scripts/package builds it (dpkg-buildflags with hardening=+all: fortified functions,
# stack protector, bind-now, -O2) beside the same server in a plain Release build
# (-O3, no hardening, as the package was built before), on one machine in one run.
# Each run starts each server afresh on 127.0.0.1 and measures it with the server
# probe of bench/server.sh (chat relays and judged words, paced 12 ms apart); the
# two builds take turns. Prints the server's CPU per relay and per word and the
# round trips' p50 of each build, and hardened / plain.
#   bench/hardening.sh [RUNS]     (default 3; each run takes about a minute)
# IDLE_SECONDS, CHATS and WORDS (default 2, 1000, 300) as in bench/server.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/serverport.sh
runs=${1:-3}
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
scripts/package >/dev/null
cmake -S . -B build/package-plain -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXLO_SANITIZE=OFF \
  -DVEXLO_TESTS=OFF -DVEXLO_BENCH=OFF -DVEXLO_FUZZ=OFF >/dev/null
cmake --build build/package-plain --target vexlo-server >/dev/null
scripts/setup --bench --build-dir build/bench --target bench_server_probe >/dev/null
declare -A server=([plain]=build/package-plain/bin/vexlo-server [hardened]=build/package/bin/vexlo-server)

work=$(mktemp -d)
server_pid=
stop_server() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    kill -INT "$server_pid"
    wait "$server_pid" || true
  fi
  server_pid=
}
trap 'stop_server; rm -rf "$work"' EXIT

probe() { # BUILD RUN
  local build=$1 run=$2
  VEXLO_SECOND_MS=100 "${server[$build]}" --quiet --port 0 --seed "$run" >"$work/out" 2>/dev/null &
  server_pid=$!
  local port
  port=$(server_port "$work/out" "$server_pid")
  [ -n "$port" ] || { echo "hardening.sh: the $build server did not start" >&2; exit 1; }
  timeout 300 build/bench/bin/bench_server_probe --port "$port" --pid "$server_pid" \
    --idle-seconds "${IDLE_SECONDS:-2}" --chats "${CHATS:-1000}" --words "${WORDS:-300}" --gap-ms 12 \
    --samples "$work/samples-$build-$run" >"$work/report-$build-$run"
  stop_server
  sed -n 's/^  server on CPU \([0-9.]*\) us per relay.*/relaycpu \1/p; s/^  server on CPU \([0-9.]*\) us per word.*/wordcpu \1/p' \
    "$work/report-$build-$run" >>"$work/cpu-$build"
  cat "$work/samples-$build-$run" >>"$work/samples-$build"
}

for run in $(seq "$runs"); do
  # Alternate who goes first, so neither always meets the machine fresher.
  if [ $((run % 2)) -eq 1 ]; then order="plain hardened"; else order="hardened plain"; fi
  for build in $order; do probe "$build" "$run"; done
done

# The median of the numbers on lines of a kind.
median() { # FILE KIND
  awk -v k="$2" '$1 == k { print $2 }' "$1" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
printf '%-44s %12s %12s %10s\n' "over $runs run(s), medians" plain hardened "hardened/plain"
for row in "relaycpu:cpu:server CPU per chat relay (us)" "wordcpu:cpu:server CPU per judged word (us)" \
           "chat:samples:chat relay round trip p50 (ms)" "word:samples:myword -> newword round trip p50 (ms)"; do
  IFS=: read -r kind file label <<<"$row"
  a=$(median "$work/$file-plain" "$kind")
  b=$(median "$work/$file-hardened" "$kind")
  printf '%-44s %12s %12s %10s\n' "$label" "$a" "$b" "$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f", b / a }')"
done
