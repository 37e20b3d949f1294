#!/usr/bin/env bash
# File -> Find a Game by keys alone while Debian's Orca listens, against a real
# server of three tables (raw players and computer players seated): checks
# that Orca says the dialog's fields by their captions, what the server said
# (or why it could not be asked) wherever the focus is, each table row whole
# with its players' names and "(bot)" as the arrows reach it, the buttons on
# Tab, the "On this network" line when no Avahi daemon runs, and that Enter on
# a table joins it (the window's new title is said).
#   tests/orca/orca-findgame.sh VEXLO-PROGRAM VEXLO-SERVER-PROGRAM
# Runs on the private desktop of orca-session.sh: exits 77 (skipped) when
# Orca or what it needs cannot start; ORCA_KEEP=DIR keeps the logs in DIR.
set -uo pipefail
vexlo=$1
server=$2
here=$(dirname "$0")

for program in "$vexlo" "$server"; do [ -x "$program" ] || { echo "FAIL: no program $program"; exit 1; }; done
orca_test=findgame
. "$here/orca-session.sh"

# Table 1: Red, Blue and a computer player, Eve watching; table 2: Gold and its
# computer player; table 3 free.
start server.log "$server" --port 0 --tables 3 --bots 1 --no-announce --quiet
waitfor 20 grep -q "^listening on port " "$work/server.log" || { echo "FAIL: the server did not start"; exit 1; }
port=$(sed -n 's/^listening on port //p' "$work/server.log")
start players.log python3 "$here/rawplayers.py" "$port" Red Blue Gold:CMD_newtable+ Eve:CMD_watch+1
waitfor 20 grep -q "^seated" "$work/players.log" || { echo "FAIL: the raw players were not seated"; exit 1; }

# The name is remembered; the window starts with no game (a name alone).
mkdir -p "$VEXLO_HOME"
printf '[Vexlo]\nPlayername=Ann\n' >"$VEXLO_HOME/quorbitlobby.ini"
# No Avahi daemon is reachable: its system bus is nowhere.
start vexlo.log env DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-system-bus "$vexlo" Ann
hear 60 "Vexlo" "the main window"
sleep 1

menu f "Host Network Game" "the File menu"
key f
hear 15 "^Vexlo - Find a Game dialog" "the dialog opens"
hear 10 "^Server Address:? editable combo box" "the address field by its caption"
# Where nobody listens, then the server: what each said is heard where the
# focus stays, and the list that fills does not take the screen reader away.
xdotool type --delay 60 "127.0.0.1:1"; key Return
hear 10 "^notification Could not connect to 127[.]0[.]0[.]1:1: the host refused the connection" "a refused listing"
key ctrl+a
xdotool type --delay 60 "127.0.0.1:$port"; key Return
hear 10 "^notification Tables at 127[.]0[.]0[.]1:$port: 2 open of at most 3" "the server's answer"
mark=$lines
sleep 1
if speech | tail -n +$((mark + 1)) | grep -q "Table 1, host"; then
  echo "FAIL: a row was said while the focus was in the address field"; failures=$((failures + 1))
fi
# Alt+B moves to the list, which says its first row whole, once.
key alt+b
hear 10 "Table 1, host Red, 3 of 6 players: Red, Ada \(bot\), Blue; 1 of 3 watchers: Eve; Waiting" "the first table"
sleep 0.5
n=$(speech | tail -n +$((mark + 1)) | grep -c "^Table 1, host Red")
[ "$n" -eq 1 ] || { echo "FAIL: the first row said $n times"; failures=$((failures + 1)); }
key Down
hear 10 "Table 2, host Gold, 2 of 6 players: Gold, Bram \(bot\); 0 of 3 watchers; Waiting" "the second table on Down"
key Up
hear 10 "Table 1, host Red" "the first table on Up"
key Tab
hear 10 "^Join push button" "Join on Tab"
key Tab
hear 10 "^Watch push button" "Watch on Tab"
key Tab
hear 10 "^New Table push button" "New Table on Tab"
key alt+h
hear 10 "^Games on this network tree" "the list of this network's games"
hear 5 "^Games on this network cannot be listed: the Avahi service is not running" "why it is empty"
key alt+a
hear 10 "^Server Address:? editable combo box" "the address field by its caption, not by its text"
key alt+b
hear 10 "Table 1, host Red" "back at the first table"
key Return
hear 20 "Vexlo — table 1 at 127.0.0.1:$port" "the window joined table 1"
title=$(xdotool search --name "^Vexlo — table" getwindowname 2>/dev/null | head -1)
[ "$title" = "Vexlo — table 1 at 127.0.0.1:$port" ] || { echo "FAIL: the title is '$title'"; failures=$((failures + 1)); }

# The dialog is said as it opens, not again with each answer of a server.
n=$(speech | grep -c "^Vexlo - Find a Game dialog")
[ "$n" -eq 1 ] || { echo "FAIL: the dialog said $n times"; failures=$((failures + 1)); }

echo "--- what Orca said:"
speech
if [ "$failures" -gt 0 ]; then echo "FAIL: $failures moment(s) not heard"; exit 1; fi
echo "PASS"
