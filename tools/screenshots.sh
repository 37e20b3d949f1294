#!/usr/bin/env bash
# Makes the screenshots in docs/screenshots/ on a virtual display (Xvfb):
#   solo.png         a solo start, with the lobby downloader it shows
#   host.png         a host with two joined players, a spy, and the spy list
#   chat.png         the chat: a coloured action, a phrase line, a chatter sound, a link
#   gamestart.png    the game options window
#   tally.png        the tally window of the host, two opponents tallied, one selected
#   host-dialog.png  File -> Host Network Game (the desktop entry's "Host Network Game")
#   join-dialog.png  File -> Join Network Game with its recent addresses open
#   join-refused.png a join to an address where nobody listens, said in the chat
#   find-game.png    File -> Find a Game on a server of four tables (raw players, a computer player)
# Installs what it misses (xvfb, xdotool, imagemagick) and builds build/bin/vexlo
# through scripts/setup.
#   tools/screenshots.sh            all of them
#   tools/screenshots.sh network    only the three of hosting and joining
#   tools/screenshots.sh find       only Find a Game
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside ]; then
  only=${1:-all}
  CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} \
    scripts/setup --target vexlo --target vexlo-lzrw1 --target vexlo-server --packages xvfb xdotool imagemagick
  # A display number of its own: other sessions on this machine may use the low ones.
  exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1600x1200x24 -noreset" "$0" --inside "$only"
fi
only=${2:-all}

out=docs/screenshots
mkdir -p "$out"
export VEXLO_HOME=$(mktemp -d)
export XDG_RUNTIME_DIR=$VEXLO_HOME/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$VEXLO_HOME"
}
trap cleanup EXIT

# start ARGS... : starts a window and waits for it; its window id is left in $wid.
start() {
  build/bin/vexlo "$@" 2>/dev/null &
  pids+=($!)
  # "Vexlo", or "Vexlo — solo" and the like once the session has started.
  wid=$(xdotool search --sync --onlyvisible --all --pid "$!" --name '^Vexlo($| —)' | head -1)
  sleep 1 # the window settles before it is moved
}
# click WINDOW X Y : a left click at a point of the window.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
ff=$'\xff'

if [ "$only" = all ]; then # the game's windows, up to the network dialogs below

# --- a solo start ---
export VEXLO_PORT=27781
start
solo=$wid
sleep 2
# The downloader is a window of its own, centred on the screen: take both.
import -window root -crop 1140x770+0+0 +repage "$out/solo.png"
kill "${pids[-1]}"

# --- a host, two players, a spy ---
# The host's tally from earlier games: Blue and Gold tallied.
dump=$VEXLO_HOME/tally.txt
printf '%s\r\n' 9 3 0 Blue Gold 12 7 5 7 2 1 0 4 3 0 1 1 0 0 0 0 0 0 0 0 0 0 0 0 >"$dump"
build/bin/vexlo-lzrw1 compress --mode fast "$dump" "$VEXLO_HOME/Vexlotally.tld"
rm "$dump"
export VEXLO_PORT=27782
start Red 127.0.0.1 true
host=$wid
xdotool windowmove "$host" 0 0
sleep 1
start Blue 127.0.0.1 false
blue=$wid
xdotool windowmove "$blue" 800 0
sleep 1
start Green 127.0.0.1 false
green=$wid
xdotool windowmove "$green" 800 620
sleep 1
# Seats 4 to 6 are held by connections that never log in, so the next one is a spy.
exec 4<>/dev/tcp/127.0.0.1/$VEXLO_PORT 5<>/dev/tcp/127.0.0.1/$VEXLO_PORT 6<>/dev/tcp/127.0.0.1/$VEXLO_PORT
sleep 0.5
exec 7<>/dev/tcp/127.0.0.1/$VEXLO_PORT
sleep 0.5
printf "CMD_logininfo+7+1.0.3+Eve$ff" >&7
sleep 1

# Blue chats, Eve acts in orange and posts a link, Red sends a phrase, Green a sound.
# Without a window manager the keys go to the window under the pointer.
click "$blue" 400 536
xdotool type --delay 20 "hi all, ready for a game?"
xdotool key Return
sleep 0.5
printf "CMD_action+7+waves from the gallery|\$000080FF$ff" >&7
sleep 0.3
printf "CMD_chat+7+the rules are at http://www.example.org/vexlo/rules.|clGreen$ff" >&7
sleep 0.3
click "$host" 271 352          # the first phrase button
sleep 0.5
# The host shows received chatter sounds as lines: Options -> Play Chatter Sounds off
# (loading the settings at login turned it on).
click "$host" 68 9
sleep 0.5
xdotool key Down Down Return
sleep 0.5
click "$green" 271 536         # the sound button, then "Hello"
sleep 0.5
xdotool key Down Down Down Down Return
sleep 1
import -window "$host" "$out/chat.png"

# The spy list, opened from the View menu, beside the host's window.
click "$host" 161 9
sleep 0.5
xdotool key Down Down Return
sleep 1
spy=$(xdotool search --onlyvisible --name '^Vexlo - Spys$' | head -1)
xdotool windowmove "$spy" 530 36
sleep 0.5
import -window root -crop 768x552+0+0 +repage "$out/host.png"

# The game options window.
xdotool windowunmap "$spy"
click "$host" 128 365          # START GAME
sleep 1
options=$(xdotool search --onlyvisible --name '^Vexlo - Game Start$' | head -1)
import -window "$options" "$out/gamestart.png"
xdotool windowunmap "$options"

# The tally window from the View menu; Blue selected.
click "$host" 161 9
sleep 0.5
xdotool key Down Return
sleep 1
tally=$(xdotool search --onlyvisible --name '^Vexlo - Tally List$' | head -1)
click "$tally" 40 36
sleep 0.5
import -window "$tally" "$out/tally.png"
for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
pids=()
fi

if [ "$only" != find ]; then
# --- the network dialogs and a refused join ---
# Earlier sessions left a name and three recent addresses in the settings file.
printf '[Vexlo]\nPlayername=Blue\nRecenthost1=vexlo.example.org\nRecenthost2=192.168.1.20:7773\nRecenthost3=[2001:db8::7]:7772\n' \
  >"$VEXLO_HOME/quorbitlobby.ini"
export VEXLO_PORT=27784
# dialog ARG TITLE : starts a window at a dialog and waits for the dialog.
dialog() {
  build/bin/vexlo "$1" 2>/dev/null &
  pids+=($!)
  xdotool search --sync --onlyvisible --all --pid "$!" --name "^Vexlo - $2\$" >/dev/null
  sleep 1
}
dialog --host "Host Network Game"
import -window root -crop 768x552+0+0 +repage "$out/host-dialog.png"
kill "${pids[-1]}"
dialog --join "Join Network Game"
xdotool mousemove 430 200      # over the dialog, which has the keys
xdotool key alt+Down           # the recent addresses
sleep 1
import -window root -crop 768x552+0+0 +repage "$out/join-dialog.png"
xdotool key Escape ctrl+a
xdotool type --delay 20 "127.0.0.1:27785"   # nobody listens there
xdotool key Return
sleep 2
import -window root -crop 768x552+0+0 +repage "$out/join-refused.png"
kill "${pids[-1]}"
fi

# --- Find a Game: a server of four tables ---
# Table 1: Red, Blue and a computer player, Eve watching; table 2: Gold and its
# computer player in a game. The dialog lists the address joined last.
port=27786
build/bin/vexlo-server --port $port --tables 4 --bots 1 --no-announce --quiet 2>/dev/null &
pids+=($!)
sleep 1
# seat FD NAME [REQUEST] : a raw player on FD asks for its place (or takes the one
# given) and logs in in the slot it was told.
seat() {
  local fd=$1 name=$2 request=${3:-} m slot='' asked=''
  [ -n "$request" ] && printf "%s$ff" "$request" >&"$fd"
  [ -z "$request" ] && asked=1
  while LC_ALL=C IFS= read -r -t 5 -d "$ff" -u "$fd" m; do
    case $m in
      CMD_seated+*) asked=1 ;;
      CMD_sendlogininfo+*) [ -n "$asked" ] && slot=${m#CMD_sendlogininfo+} && break ;;
    esac
  done
  printf "CMD_logininfo+%s+1.0.3+%s$ff" "$slot" "$name" >&"$fd"
  sleep 0.3
}
exec 4<>/dev/tcp/127.0.0.1/$port
seat 4 Red
exec 5<>/dev/tcp/127.0.0.1/$port
seat 5 Blue
exec 6<>/dev/tcp/127.0.0.1/$port
seat 6 Gold CMD_newtable+
exec 7<>/dev/tcp/127.0.0.1/$port
seat 7 Eve CMD_watch+1
printf "CMD_startgame+Gold+3+60$ff" >&6
sleep 1
printf '[Vexlo]\nPlayername=Ann\nRecenthost1=127.0.0.1:%s\nRecenthost2=vexlo.example.org\n' $port \
  >"$VEXLO_HOME/quorbitlobby.ini"
start Ann                      # one word: the window connects nowhere
xdotool windowmove "$wid" 0 0
sleep 1
click "$wid" 20 9               # File, then Find a Game
sleep 0.5
xdotool key f
xdotool search --sync --onlyvisible --name '^Vexlo - Find a Game$' >/dev/null
sleep 2
import -window root -crop 768x570+0+0 +repage "$out/find-game.png"
for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
pids=()
ls -l "$out"
