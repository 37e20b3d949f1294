#!/usr/bin/env bash
# Plays a solo round of vexlo by keys alone while Debian's Orca listens, and
# checks what Orca said (the "SPEECH OUTPUT" lines of its debug log) at each
# moment a blind player must hear: the round and its pattern, an accepted word
# and the next pattern, a refused word's reason, a clear, a pass, the on-demand
# keys, the countdown (also while chatting), "Time is Up.", the scores and the
# winner, each once; that the letters typed in the round reach the board after
# Alt+F and Escape; the downloader's buttons, the game options' captions and
# the first word of a score list reached by Tab.
#   tests/orca/orca-round.sh VEXLO-PROGRAM WORD-LIST
# Runs its own X server (Xvfb), window manager (openbox), D-Bus session bus with
# the accessibility bus, and speech-dispatcher with its dummy output module.
# Exits 77 (skipped) when any of them or Orca cannot start. ORCA_ROUND_KEEP=DIR
# keeps the logs in DIR.
set -uo pipefail
vexlo=$1
words=$2

skip() { echo "SKIP: $*"; exit 77; }
for cmd in Xvfb openbox orca speech-dispatcher xdotool dbus-daemon python3; do
  command -v "$cmd" >/dev/null || skip "$cmd is not installed (scripts/setup --orca installs it)"
done
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi2-core is not installed"
[ -x "$vexlo" ] || { echo "FAIL: no program $vexlo"; exit 1; }

work=$(mktemp -d /tmp/orca-round.XXXXXX)
pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -- "-${pids[i]}" 2>/dev/null || kill "${pids[i]}" 2>/dev/null; done
  sleep 0.3
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -9 -- "-${pids[i]}" 2>/dev/null; done
  if [ -n "${ORCA_ROUND_KEEP:-}" ]; then mkdir -p "$ORCA_ROUND_KEEP" && cp "$work"/*.log "$ORCA_ROUND_KEEP"/ 2>/dev/null; fi
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
_log = os.environ.get("ORCA_ROUND_LOG")
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
export ORCA_ROUND_LOG=$work/orca.log
start orca-stdout.log env PYTHONPATH="$work/pyhook" orca -u "$work/orca-prefs" --debug-file "$work/orca.log"
# Orca's debug log is large: its speech lines are copied out as they come.
start speech.log bash -c "tail -n +1 -F '$work/orca.log' 2>/dev/null | grep -a --line-buffered \"SPEECH OUTPUT: '\""
speech() { sed -E "s/^.*SPEECH OUTPUT: '//; s/' ?\{.*$//" "$work/speech.log"; }
waitfor 60 grep -q . "$work/speech.log" || skip "Orca did not start (see orca-stdout.log)"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb
export VEXLO_HOME=$work/home/vexlo VEXLO_PORT=0 VEXLO_LOBBY_URL=http://127.0.0.1:9/qslsetup.exe
export VEXLO_SECOND_MS=${ORCA_ROUND_SECOND_MS:-500}
export ASAN_OPTIONS=detect_leaks=0
start vexlo.log "$vexlo"

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

# The lobby downloader comes up first; its buttons are spoken on Tab.
hear 60 "Download The Quorbit Lobby" "the downloader opens as a dialog"
key Tab
hear 10 "push button" "a downloader button on Tab"
key Escape
hear 15 "Vexlo" "the main window after the downloader"
sleep 2 # the solo game logs in

# The menu bar: Alt+F opens File, Escape leaves it.
# (Alt held a while around the F: the window gets the keys back from the screen
# reader in their order, but a quick Alt+F may still be taken as Alt alone.)
for try in 1 2 3 4; do
  xdotool keydown alt; sleep 0.4; xdotool key f; sleep 0.4; xdotool keyup alt; sleep 0.3
  quiet=1 hear 5 "Start Game" "the File menu" && break
  [ "$try" -lt 4 ] || hear 1 "Start Game" "the File menu"
  key Escape
done
key Escape
sleep 0.5
key ctrl+g
hear 15 "Rounds Per Game" "the game options"
# 1 round of 50 seconds: rounds down to 1, creation time from 60 down by 5.
key Down Down Down Down Tab
hear 10 "Creation Time" "Creation Time labels its spin box"
key Down Down Return

hear 30 "Round 1 of 1.*First word: [A-Za-z]" "the round and its pattern" || exit 1
pattern=$(sed -E 's/.*First word: //; s/[.]$//' <<<"$heard")
regex=$(sed -E 's/blank/./g; s/, //g' <<<"$pattern" | tr 'A-Z' 'a-z')
word=$(grep -x -m1 -E "$regex" "$words")
[ -n "$word" ] || { echo "FAIL: no word fits $pattern"; exit 1; }
echo "playing: $word for $pattern"
start=$lines
xdotool type --delay 80 "$word"; key Return
hear 10 "Accepted.*Second word: [A-Za-z]" "an accepted word and the next pattern"
if speech | tail -n +$((start + 1)) | head -n $((lines - start)) | grep -qiE "menu"; then
  echo "FAIL: a letter of the word opened a menu"; failures=$((failures + 1))
fi
pattern=$(sed -E 's/.*Second word: //; s/[.]$//' <<<"$heard")
bad=$(sed -E 's/blank/q/g; s/, //g' <<<"$pattern" | tr 'A-Z' 'a-z')
xdotool type --delay 80 "$bad"; key Return
hear 10 "^Invalid Word" "a refused word's reason"
xdotool type --delay 80 "ab"; key 0
hear 10 "^Cleared" "a clear"
key 1
hear 10 "Third word: [A-Za-z]" "a pass and the next pattern"
key F2
hear 10 "Third word: [A-Za-z].*Your word: empty" "F2 repeats the pattern and the word"
key F3
hear 10 "seconds left" "F3 tells the time left"
key F4
hear 10 "Scores: You [0-9]+, 1 word this round" "F4 tells the scores"
# Chat mode: the news still comes, bringing the focus back to the board.
key Tab
hear 10 "Chat entry" "Tab to the chat"
hear 40 "^10 seconds left" "the countdown at 10 seconds"
hear 20 "^Time is Up" "the end of the round"
hear 20 "Scores of round 1: You [0-9]+, total [0-9]+" "the points of the round"
hear 20 "You have Won the Game!" "the winner"
# The score panel by Tab: a list says its name and then its first word.
for try in $(seq 1 20); do
  key Tab
  quiet=1 hear 2 "List with [0-9]+ items" "a score list" && break
done
hear 5 "^[A-Za-z_]{5}[.]?$" "the first word of a score list"
# Each event once, and the countdown at its few moments only.
once() {
  local n
  n=$(speech | tail -n +$((start - 1)) | grep -o -E -- "$1" | wc -l)
  [ "$n" -eq "$2" ] || { echo "FAIL: /$1/ said $n times, not $2"; failures=$((failures + 1)); }
}
once "^Round 1 of 1[.] First word" 1
once "^Accepted[.]" 1
once "Time is Up" 1
once "You have Won the Game!" 1
once "[0-9]+ seconds? left" 3 # 30 and 10, and F3 (news close together is said as one line)
echo "--- what Orca said after the round began:"
speech | tail -n +$((start - 5)) | head -n 80
if [ "$failures" -gt 0 ]; then echo "FAIL: $failures moment(s) not heard"; exit 1; fi
echo "PASS"
