#!/usr/bin/env bash
# Games on the local network with real daemons and no traffic off the machine:
# two network namespaces (A, B) joined by a veth pair, each with its own D-Bus
# bus and avahi-daemon (own configuration, bus socket, pid and runtime folder,
# so a system daemon, running or not, is never touched). Checks:
#   - no daemon: the browser model says so, at once and quietly, and starts
#     listing when a daemon appears;
#   - vexlo-server hosting in A is found in B by the browser model (one row for
#     its IPv4 and IPv6 addresses) and by avahi-browse with its TXT records;
#   - an update (a player logs in), a daemon restart (published again), a name
#     collision (a second server takes another name), a withdrawal, and a
#     server started with --no-announce never listed; a server of many tables
#     announces how many it holds and the seats free;
#   - the reverse: a service made with avahi-publish in B, with lying records,
#     shows in A's model, and goes when it goes.
#   netns.sh PROBE VEXLO-SERVER      (exit 77: skipped)
set -uo pipefail
probe=$1
server=$2
. "$(dirname "$0")/netnslib.sh"
netns_setup

start_bus a
start_bus b

# --- no daemon: one state, at once, quietly; a daemon that appears is used ---
bg probe-b b "$probe" 120
probe_b=$last
wait_for "$work/probe-b.log" "^state unavailable: Games on this network cannot be listed: the Avahi service is not running\.$" 5
bg server-nobus a env DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/bus "$server" --port 0 --quiet
wait_for "$work/server-nobus.log" "^listening on port [0-9]+$" 10
kill "$last"; wait "$last" 2>/dev/null
[ "$(grep -vc '^listening on port' "$work/server-nobus.log")" = 0 ] || fail "vexlo-server without a bus said more than its port"
start_avahi b
wait_for "$work/probe-b.log" "^state available$"
start_avahi a

# --- hosting in A, found in B: one row for IPv4 and IPv6 ---
bg server-silent a "$server" --port 0 --quiet --no-announce # never listed (checked at the end)
bg server-a a "$server" --port 0 --quiet
server_a=$last
wait_for "$work/server-a.log" "^listening on port [0-9]+$" 10
port=$(sed -n 's/^listening on port //p' "$work/server-a.log")
wait_for "$work/probe-b.log" "^row Vexlo on [^|]*\|0/6\|0/3\|Waiting\|10\.77\.0\.1:$port\|"
wait_for "$work/probe-b.log" "^row .*\|10\.77\.0\.1:$port\|(10\.77\.0\.1,fd77::1|fd77::1,10\.77\.0\.1)\|"
[ "$(grep -c '^row ' <(tail -n 2 "$work/probe-b.log"))" = 1 ] || fail "the game is not one row"
# avahi-browse lists it with its records (asked again until its cache has both).
browse_until() {
  local deadline=$((SECONDS + 20))
  until ns b avahi-browse -rpt _vexlo._tcp >"$work/browse.log" 2>&1 && grep -Eq -- "$1" "$work/browse.log"; do
    [ $SECONDS -lt $deadline ] || fail "avahi-browse lists nothing like '$1'"
    sleep 0.5
  done
}
browse_until "^=;${tag}1;IPv4;Vexlo\\\\032on\\\\032[^;]*;_vexlo\._tcp;local;vexlo-a\.local;10\.77\.0\.1;$port;\"txtvers=1\" \"version=1\.0\.3\" \"players=0/6\" \"watchers=0/3\" \"state=waiting\"$"

# --- an update: a player logs in ---
bg player a bash -c "exec 3<>/dev/tcp/127.0.0.1/$port; printf 'CMD_logininfo+1+1.0.3+Red\xff' >&3; exec sleep 100"
wait_for "$work/probe-b.log" "^row Red\|1/6\|0/3\|Waiting\|10\.77\.0\.1:$port\|"
browse_until '^=;.*;10\.77\.0\.1;[0-9]+;"txtvers=1" "version=1\.0\.3" "host=Red" "players=1/6"'

# --- the daemon restarts: the game is published again ---
kill "${avahi_pid[a]}"; wait "${avahi_pid[a]}" 2>/dev/null
wait_last "$work/probe-b.log" "end rows=0"
start_avahi a
wait_for "$work/probe-b.log" "^row Red\|1/6\|" 30
wait_last "$work/probe-b.log" "end rows=1"

# --- a name taken: a second server on the same machine name takes another ---
bg server-b b "$server" --port 0 --quiet
server_b=$last
wait_for "$work/server-b.log" "^listening on port [0-9]+$" 10
port_b=$(sed -n 's/^listening on port //p' "$work/server-b.log")
# Both listed, each at its own address and port, under two names, one of them "... #2".
both() {
  local last
  last=$(tac "$work/probe-b.log" | sed -n '2,/^state/p')
  grep -q "|10\.77\.0\.1:$port|" <<<"$last" && grep -q "|10\.77\.0\.2:$port_b|" <<<"$last" &&
    [ "$(grep -c ' #2$' <<<"$last")" = 1 ] && [ "$(grep '^row' <<<"$last" | sed 's/.*|//' | sort -u | wc -l)" = 2 ]
}
deadline=$((SECONDS + 30))
until both; do [ $SECONDS -lt $deadline ] || fail "the two servers are not listed under two names"; sleep 0.2; done
kill "$server_b"; wait "$server_b" 2>/dev/null

# --- withdrawal: the server stops ---
kill "$server_a"; wait "$server_a" 2>/dev/null
wait_last "$work/probe-b.log" "end rows=0"
[ "$(grep -vc '^listening on port' "$work/server-a.log")" = 0 ] || fail "vexlo-server said more than its port"

# --- a server of many tables: how many it holds and the seats free ---
bg server-t a "$server" --port 0 --quiet --tables 3
server_t=$last
wait_for "$work/server-t.log" "^listening on port [0-9]+$" 10
port_t=$(sed -n 's/^listening on port //p' "$work/server-t.log")
browse_until "^=;.*;10\\.77\\.0\\.1;$port_t;.*\"tables=3\" \"free=18\""
bg player-t a bash -c "exec 3<>/dev/tcp/127.0.0.1/$port_t; printf 'CMD_logininfo+1+1.0.3+Red\xff' >&3; exec sleep 100"
browse_until "^=;.*;10\\.77\\.0\\.1;$port_t;.*\"tables=3\" \"free=17\""
kill "$server_t"; wait "$server_t" 2>/dev/null
wait_last "$work/probe-b.log" "end rows=0"

# --- the reverse: avahi-publish in B, hostile records, in A's model ---
bg probe-a a "$probe" 60
wait_for "$work/probe-a.log" "^state available$"
bg publish b avahi-publish -s "Blue's $(printf '\033')game" _vexlo._tcp 7799 "players=9/6" "watchers=1/3" \
  "state=playing" "round=2/3" "version=$(printf 'x\377')"
publish=$last
wait_for "$work/probe-a.log" "^row Blue's game\|\?/6\|1/3\|Round 2 of 3\|10\.77\.0\.2:7799\|"
kill "$publish"; wait "$publish" 2>/dev/null
wait_last "$work/probe-a.log" "end rows=0"

silent=$(sed -n 's/^listening on port //p' "$work/server-silent.log")
[ -n "$silent" ] && ! grep -q ":$silent|" "$work/probe-b.log" || fail "vexlo-server --no-announce was listed"
grep -v '^\(state\|row\|end\) ' "$work/probe-b.log" "$work/probe-a.log" && fail "the browser said more than its rows"
echo "PASS"
