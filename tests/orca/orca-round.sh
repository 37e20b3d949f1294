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
# Runs on the private desktop of orca-session.sh: exits 77 (skipped) when
# Orca or what it needs cannot start; ORCA_KEEP=DIR keeps the logs in DIR.
set -uo pipefail
vexlo=$1
words=$2

[ -x "$vexlo" ] || { echo "FAIL: no program $vexlo"; exit 1; }
orca_test=round
. "$(dirname "$0")/orca-session.sh"
export VEXLO_SECOND_MS=${ORCA_ROUND_SECOND_MS:-500}
start vexlo.log "$vexlo"

# The lobby downloader comes up first; its buttons are spoken on Tab.
hear 60 "Download The Quorbit Lobby" "the downloader opens as a dialog"
key Tab
hear 10 "push button" "a downloader button on Tab"
key Escape
hear 15 "Vexlo" "the main window after the downloader"
sleep 2 # the solo game logs in

# The menu bar: Alt+F opens File, Escape leaves it.
menu f "Start Game" "the File menu"
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
