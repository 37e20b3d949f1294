# Sourced by the Orca tests: a private desktop where the real screen reader
# listens. Sets up an X server (Xvfb), a window manager (openbox), a D-Bus
# session bus with the accessibility bus, speech-dispatcher with its dummy
# output module and Orca with its debug log; exits 77 (skipped) when any of
# them cannot start. Then offers:
#   start LOG CMD...   runs CMD in a process group of its own, ended on exit
#   waitfor SECS CMD...
#   speech             what Orca said so far, a line per utterance
#   hear SECS REGEX WHY  waits for a new speech line matching REGEX ($heard)
#   key KEYS...        presses keys as a user would
#   menu LETTER REGEX WHY  opens a menu by Alt+LETTER until REGEX is heard
#   $work, $failures
# The caller sets orca_test (a word naming the test, for its folder) first.
# ORCA_KEEP=DIR keeps the logs in DIR.
skip() { echo "SKIP: $*"; exit 77; }
for cmd in Xvfb openbox orca speech-dispatcher xdotool dbus-daemon python3; do
  command -v "$cmd" >/dev/null || skip "$cmd is not installed (scripts/setup --orca installs it)"
done
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi2-core is not installed"

work=$(mktemp -d "/tmp/orca-${orca_test:-test}.XXXXXX")
pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -- "-${pids[i]}" 2>/dev/null || kill "${pids[i]}" 2>/dev/null; done
  sleep 0.3
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -9 -- "-${pids[i]}" 2>/dev/null; done
  if [ -n "${ORCA_KEEP:-}" ]; then mkdir -p "$ORCA_KEEP" && cp "$work"/*.log "$ORCA_KEEP"/ 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
# Each helper in a process group of its own, ended by its id.
start() { local log=$1; shift; setsid "$@" >"$work/$log" 2>&1 & pids+=($!); disown; }

# Waits up to $1 seconds for a command to succeed.
waitfor() {
  local t=$(( $1 * 10 )); shift
  while ((t-- > 0)); do "$@" && return 0; sleep 0.1; done
  return 1
}

export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS SPEECHD_ADDRESS

# A private display.
exec 5>"$work/display"
setsid Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!); disown
exec 5>&-
waitfor 20 test -s "$work/display" || skip "Xvfb did not start"
export DISPLAY=:$(head -n1 "$work/display")

# A private session bus.
dbus-daemon --session --fork --print-address=5 --print-pid=6 5>"$work/bus" 6>"$work/buspid" 2>"$work/dbus.log" \
  || skip "dbus-daemon did not start"
pids+=("$(cat "$work/buspid")")
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")

start atspi.log /usr/libexec/at-spi-bus-launcher --launch-immediately
start openbox.log openbox --sm-disable
waitfor 20 xdotool getactivewindow >/dev/null 2>&1
# speech-dispatcher with the dummy module alone.
mkdir -p "$work/speechd"
cat >"$work/speechd/speechd.conf" <<CONF
LogLevel 2
LogDir "$work"
AudioOutputMethod "alsa"
AddModule "dummy" "sd_dummy" ""
DefaultModule dummy
CONF
# No sound card here: ALSA's null device swallows the dummy module's sound.
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
start speechd.log speech-dispatcher -s -t 0 -C "$work/speechd" -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock"
waitfor 20 test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" || skip "speech-dispatcher did not start"

# Orca with its defaults and the debug log.
mkdir -p "$work/orca-prefs"
# Orca writes its debug log through a buffer: the log is opened line-buffered
# instead, so each speech line shows as it is spoken, and at the information level.
mkdir -p "$work/pyhook"
cat >"$work/pyhook/sitecustomize.py" <<'PY'
import builtins, os
_open = builtins.open
_log = os.environ.get("ORCA_DEBUG_LOG")
def _line_buffered(file, mode="r", *args, **kw):
    if _log and file == _log and "w" in mode:
        # Only the speech lines (and what else is logged as information): the
        # full output slows Orca down until it drops focus changes.
        import sys
        debug = sys.modules.get("orca.debug")
        if debug is not None:
            debug.debugLevel = debug.LEVEL_INFO
        kw.pop("buffering", None)
        return _open(file, mode, 1, **kw)
    return _open(file, mode, *args, **kw)
builtins.open = _line_buffered
PY
export ORCA_DEBUG_LOG=$work/orca.log
start orca-stdout.log env PYTHONPATH="$work/pyhook" orca -u "$work/orca-prefs" --debug-file "$work/orca.log"
# Orca's debug log is large: its speech lines are copied out as they come.
start speech.log bash -c "tail -n +1 -F '$work/orca.log' 2>/dev/null | grep -a --line-buffered \"SPEECH OUTPUT: '\""
speech() { sed -E "s/^.*SPEECH OUTPUT: '//; s/' ?\{.*$//" "$work/speech.log"; }
waitfor 60 grep -q . "$work/speech.log" || skip "Orca did not start (see orca-stdout.log)"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb
export VEXLO_HOME=$work/home/vexlo VEXLO_PORT=0 VEXLO_LOBBY_URL=http://127.0.0.1:9/qslsetup.exe
export ASAN_OPTIONS=detect_leaks=0

failures=0
lines=0 # speech lines already looked at
# Waits up to $1 seconds for a speech line after those looked at that matches
# the extended regular expression $2; remembers where it was found.
hear() {
  local deadline=$((SECONDS + $1)) found
  while ((SECONDS <= deadline)); do
    found=$(speech | tail -n +$((lines + 1)) | grep -n -m1 -E -- "$2")
    if [ -n "$found" ]; then
      lines=$((lines + ${found%%:*}))
      heard=${found#*:}
      echo "heard: $heard"
      return 0
    fi
    sleep 0.2
  done
  [ -n "${quiet:-}" ] && return 1
  echo "FAIL: never heard /$2/ ($3)"
  failures=$((failures + 1))
  return 1
}
key() { xdotool key --delay 60 "$@"; sleep 0.3; }

# Alt held a while around the letter: the window gets the keys back from the
# screen reader in their order, but a quick Alt+F may still be taken as Alt alone.
menu() {
  local try
  for try in 1 2 3 4; do
    xdotool keydown alt; sleep 0.4; xdotool key "$1"; sleep 0.4; xdotool keyup alt; sleep 0.3
    quiet=1 hear 5 "$2" "$3" && return 0
    [ "$try" -lt 4 ] || { hear 1 "$2" "$3"; return 1; }
    key Escape
  done
}
