# Two network namespaces of our own, A and B, joined by a veth pair (10.77.0.1
# and fd77::1 in A, 10.77.0.2 and fd77::2 in B), each with its own D-Bus bus
# and avahi-daemon: own configuration, bus socket, pid and runtime folder, so a
# system daemon, running or not, is never touched, and nothing leaves the
# machine. Sourced by netns.sh and tools/shot-joinnetwork.sh; everything it
# starts goes when the sourcing script exits, however it exits.
#   netns_setup        makes the namespaces (exit 77 where they cannot be made)
#   start_bus SIDE     its bus;  start_avahi SIDE: its daemon (pid in avahi_pid[SIDE])
#   bg NAME SIDE CMD   runs CMD in SIDE on its bus, output in $work/NAME.log, pid in $last
#   ns SIDE CMD        the same in the foreground
#   wait_for FILE RE [S], wait_last FILE LINE [S], fail TEXT
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "making network namespaces needs root"
for tool in ip avahi-daemon avahi-browse avahi-publish dbus-daemon; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/setup installs it)"
done

tag=vx$$$RANDOM
tag=${tag:0:10}
work=$(mktemp -d /tmp/vexlo-netns.XXXXXX)
pids=()
cleanup() {
  # Every process of the two namespaces is ours.
  for side in a b; do pids+=($(ip netns pids "$tag$side" 2>/dev/null)); done
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  ip netns del "${tag}a" 2>/dev/null
  ip netns del "${tag}b" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

netns_setup() {
  ip netns add "${tag}a" 2>/dev/null || skip "network namespaces cannot be made here"
  ip netns add "${tag}b" || exit 1
  ip link add "${tag}0" type veth peer name "${tag}1" || skip "a veth pair cannot be made here"
  ip link set "${tag}0" netns "${tag}a"
  ip link set "${tag}1" netns "${tag}b"
  n=1
  for side in a b; do
    dev=${tag}$((n - 1))
    ip -n "$tag$side" link set lo up
    ip -n "$tag$side" addr add "10.77.0.$n/24" dev "$dev"
    ip -n "$tag$side" addr add "fd77::$n/64" dev "$dev" nodad
    ip -n "$tag$side" link set "$dev" up
    n=$((n + 1))
  done
}

fail() {
  echo "FAIL: $*"
  for f in "$work"/*.log; do echo "--- ${f##*/}"; tail -n 30 "$f"; done
  exit 1
}
# wait_for FILE PATTERN [SECONDS]: until a line of FILE matches PATTERN (grep -E).
wait_for() {
  local deadline=$((SECONDS + ${3:-20}))
  until grep -Eq -- "$2" "$1" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "no line like '$2' in ${1##*/}"
    sleep 0.2
  done
}
# wait_last FILE LINE [SECONDS]: until the last line of FILE is LINE.
wait_last() {
  local deadline=$((SECONDS + ${3:-20}))
  until [ "$(tail -n 1 "$1" 2>/dev/null)" = "$2" ]; do
    [ $SECONDS -lt $deadline ] || fail "${1##*/} does not end in '$2'"
    sleep 0.2
  done
}
# ns SIDE COMMAND...: runs a command in namespace a or b on that side's bus.
ns() {
  local side=$1
  shift
  ip netns exec "$tag$side" env DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/$side.bus" "$@"
}
# bg NAME SIDE COMMAND...: in the background, output to NAME.log; its pid (the
# command's own: ip and env exec it) in $last.
bg() {
  local name=$1 side=$2
  shift 2
  ip netns exec "$tag$side" env DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/$side.bus" "$@" >"$work/$name.log" 2>&1 &
  last=$!
  pids+=("$last")
}

start_bus() {
  cat >"$work/$1.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <listen>unix:path=$work/$1.bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
CONF
  bg "$1-bus" "$1" dbus-daemon --config-file="$work/$1.conf" --nofork --nopidfile
  local deadline=$((SECONDS + 10))
  until [ -S "$work/$1.bus" ]; do
    [ $SECONDS -lt $deadline ] || fail "the bus of $1 did not start"
    sleep 0.1
  done
}
# start_avahi SIDE: its daemon, on its veth end alone, with a private /run/avahi-daemon.
start_avahi() {
  local dev=${tag}0
  [ "$1" = b ] && dev=${tag}1
  cat >"$work/$1-avahi.conf" <<CONF
[server]
host-name=vexlo-$1
domain-name=local
use-ipv4=yes
use-ipv6=yes
allow-interfaces=$dev
enable-dbus=yes
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
CONF
  mkdir -p /run/avahi-daemon
  bg "$1-avahi" "$1" sh -c "mount -t tmpfs tmpfs /run/avahi-daemon &&
    exec avahi-daemon -f '$work/$1-avahi.conf' --no-drop-root --no-chroot --no-rlimits"
  avahi_pid[$1]=$last
  wait_for "$work/$1-avahi.log" "Server startup complete"
}
declare -A avahi_pid

