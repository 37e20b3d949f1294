#!/usr/bin/env bash
# Makes the game's recordings in resources/sounds/: the program's sounds
# synthesised with sox, the twelve chatter sounds spoken by espeak-ng (or made
# of shaped noise). Short 16-bit PCM mono WAVs at 22050 Hz; the output is the
# same on every run (no dither, repeatable noise).
#   tools/makesounds.sh            (installs sox and espeak-ng when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
missing=()
for p in sox espeak-ng; do
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)" = installed ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
out=resources/sounds
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

SOX=(sox -R -D -V1)
FMT=(-r 22050 -c 1 -b 16 -e signed-integer)

# note FILE SECONDS SYNTH-ARGS... : one synthesised note with a short fade.
note() {
  local f=$1 d=$2; shift 2
  "${SOX[@]}" -n "${FMT[@]}" "$f" synth "$d" "$@" fade q 0.005 "$d" 0.04
}
# seq OUT NOTE-FILES... : the notes one after the other, levelled.
seq() {
  local o=$1; shift
  "${SOX[@]}" "$@" "${FMT[@]}" "$o" norm -4
}

n() { echo "$work/$1.wav"; }

# --- the program's sounds ---
note "$(n e1)" 0.10 sine 784;  note "$(n e2)" 0.22 sine 1175
seq "$out/entered.wav" "$(n e1)" "$(n e2)"

note "$(n t1)" 0.09 triangle 523; note "$(n t2)" 0.09 triangle 659; note "$(n t3)" 0.20 triangle 784
seq "$out/turn.wav" "$(n t1)" "$(n t2)" "$(n t3)"

"${SOX[@]}" -n "${FMT[@]}" "$(n tn1)" synth 0.25 sine 300-1200 fade q 0.01 0.25 0.08
note "$(n tn2)" 0.30 sine 1568
seq "$out/turnnew.wav" "$(n tn1)" "$(n tn2)"

"${SOX[@]}" -n "${FMT[@]}" "$out/clickletter.wav" synth 0.035 square 1400 fade q 0.002 0.035 0.025 norm -8
"${SOX[@]}" -n "${FMT[@]}" "$out/backspace.wav" synth 0.05 square 520 fade q 0.002 0.05 0.035 norm -8
"${SOX[@]}" -n "${FMT[@]}" "$out/clear.wav" synth 0.28 sine 1400-300 fade q 0.005 0.28 0.1 norm -5
"${SOX[@]}" -n "${FMT[@]}" "$out/tick.wav" synth 0.025 sine 2200 fade q 0.001 0.025 0.02 norm -6

note "$(n p1)" 0.10 sine 660; note "$(n p2)" 0.16 sine 494
seq "$out/pass.wav" "$(n p1)" "$(n p2)"

"${SOX[@]}" -n "${FMT[@]}" "$out/invalid.wav" synth 0.32 square 140 square 147 fade q 0.01 0.32 0.08 norm -8

note "$(n g1)" 0.08 sine 659; note "$(n g2)" 0.08 sine 784; note "$(n g3)" 0.20 sine 1047
seq "$out/goodword.wav" "$(n g1)" "$(n g2)" "$(n g3)"

note "$(n a1)" 0.10 triangle 523; note "$(n a2)" 0.10 triangle 659; note "$(n a3)" 0.10 triangle 784
note "$(n a4)" 0.35 triangle 1047
seq "$out/allfilled.wav" "$(n a1)" "$(n a2)" "$(n a3)" "$(n a4)"

"${SOX[@]}" -n "${FMT[@]}" "$out/timeup.wav" synth 0.8 sine 880 sine 1320 remix - fade q 0.005 0.8 0.7 norm -4
"${SOX[@]}" -n "${FMT[@]}" "$out/postscores.wav" synth 0.5 sine 523 sine 659 sine 784 remix - fade q 0.01 0.5 0.3 norm -5

note "$(n w1)" 0.12 triangle 523; note "$(n w2)" 0.12 triangle 659; note "$(n w3)" 0.12 triangle 784
note "$(n w4)" 0.25 triangle 1047; note "$(n w5)" 0.12 triangle 784; note "$(n w6)" 0.45 triangle 1047
seq "$out/winner.wav" "$(n w1)" "$(n w2)" "$(n w3)" "$(n w4)" "$(n w5)" "$(n w6)"

# --- the chatter sounds ---
say() { # say OUT TEXT [VOICE] [PITCH]
  espeak-ng -v "${3:-en-us}" -p "${4:-50}" -s 150 -w "$work/say.wav" "$2"
  "${SOX[@]}" "$work/say.wav" "${FMT[@]}" "$1" silence 1 0.02 1% reverse silence 1 0.02 1% reverse norm -3
}
say "$out/wave1.wav" "Doh!" en-us 35
# Cough: two bursts of filtered noise.
"${SOX[@]}" -n "${FMT[@]}" "$(n c1)" synth 0.16 pinknoise fade q 0.005 0.16 0.12 bandpass 700 400h
"${SOX[@]}" -n "${FMT[@]}" "$(n gap)" trim 0 0.09
"${SOX[@]}" -n "${FMT[@]}" "$(n c2)" synth 0.22 pinknoise fade q 0.005 0.22 0.18 bandpass 600 400h
seq "$out/wave2.wav" "$(n c1)" "$(n gap)" "$(n c2)"
say "$out/wave3.wav" "Hello!"
say "$out/wave4.wav" "Thank you!"
say "$out/wave5.wav" "Where have you been?"
# Snoring: low noise breathing in, slow and rough, twice.
"${SOX[@]}" -n "${FMT[@]}" "$(n s1)" synth 0.9 brownnoise tremolo 28 70 fade q 0.3 0.9 0.4 lowpass 400
"${SOX[@]}" -n "${FMT[@]}" "$(n s2)" trim 0 0.25
seq "$out/wave6.wav" "$(n s1)" "$(n s2)" "$(n s1)"
say "$out/wave7.wav" "ah... ah... choo!" en-us 70
say "$out/wave8.wav" "Sorry."
say "$out/wave9.wav" "Welcome!"
say "$out/wave10.wav" "Yee haa!" en-us 65
say "$out/wave11.wav" "Yippee!" en-us 75
say "$out/wave12.wav" "Oh no!" en-us 40

ls -l "$out"
