#!/usr/bin/env bash
# Makes docs/screenshots/join-network.png: File -> Join Network Game listing
# the games found on the local network, with real Avahi daemons in two network
# namespaces of our own (tests/discovery/netnslib.sh; nothing leaves the
# machine): in A, vexlo-server with a player and a game published with
# avahi-publish; in B, the window on a virtual display, the first game chosen.
# Needs root. Installs what it misses and builds build/ through scripts/setup;
# VEXLO_BIN=build/test/bin takes the programs of another tree as they are.
set -uo pipefail
cd "$(dirname "$0")/.."
bin=${VEXLO_BIN:-build/bin}
if [ -z "${VEXLO_BIN:-}" ]; then
  CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} \
    scripts/setup --target vexlo --target vexlo-server --packages xvfb xdotool imagemagick >/dev/null || exit 1
fi
. tests/discovery/netnslib.sh
netns_setup
out=$PWD/docs/screenshots/join-network.png

start_bus a
start_bus b
start_avahi a
start_avahi b
bg server a "$bin/vexlo-server" --port 0 --quiet
wait_for "$work/server.log" "^listening on port [0-9]+$"
port=$(sed -n 's/^listening on port //p' "$work/server.log")
bg player a bash -c "exec 3<>/dev/tcp/127.0.0.1/$port; printf 'CMD_logininfo+1+1.0.3+Red\xff' >&3; exec sleep 600"
bg publish a avahi-publish -s "Ann's kitchen table" _vexlo._tcp 7773 txtvers=1 version=1.0.3 host=Ann players=3/6 \
  watchers=1/3 state=playing round=2/5

mkdir -p -m 700 "$work/home"
cat >"$work/window.sh" <<SHOT
$bin/vexlo --join 2>/dev/null &
dialog=\$(xdotool search --sync --onlyvisible --name 'Join Network Game' | head -1)
sleep 4 # the games come in
xdotool type --window "\$dialog" Blue
xdotool key --window "\$dialog" Tab Tab Down
sleep 1
import -window "\$dialog" "$out"
SHOT
bg window b env VEXLO_HOME="$work/home" XDG_RUNTIME_DIR="$work/home" \
  xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1200x900x24" bash "$work/window.sh"
wait "$last"
[ -s "$out" ] || fail "no screenshot"
echo "wrote $out"
