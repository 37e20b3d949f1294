#!/usr/bin/env bash
# Plays one scripted network session (tools/wiresession.py: host, two joiners,
# chat, a two-round game with accepted, refused and passed words, a removal, the
# winner, computer players and their game) with the real vexlo windows of two
# builds, records every byte on every connection in both directions (tcpdump on
# the loopback), and compares the recordings byte for byte per connection and
# direction. The time of day and the random numbers that seed the game and the
# computer players are pinned for both builds by an LD_PRELOAD shim
# (tools/wireclock.c), so the same session must give the same bytes.
#   tools/wiresession.sh BEFORE_BIN AFTER_BIN [OUTDIR]
#     BEFORE_BIN, AFTER_BIN: folders holding a built vexlo (e.g. a worktree's build/bin)
#     OUTDIR: where the recordings go (default build/wiresession); RUNS=2 plays
#     each build twice, to tell a build's own run-to-run differences apart.
# Example, the client before and after a change, each tree built with scripts/setup:
#   git worktree add --detach ../before OLD && (cd ../before && scripts/setup --target vexlo)
#   scripts/setup --target vexlo && tools/wiresession.sh ../before/build/bin build/bin
# Needs root for tcpdump; installs what it misses (tcpdump, xdotool, xvfb, xauth,
# imagemagick, gcc, python3) with apt-get. Takes about four minutes a run.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 2 ] || { sed -n '2,18p' "$0" >&2; exit 2; }
before=$(realpath "$1")
after=$(realpath "$2")
out=$(realpath -m "${3:-build/wiresession}")
runs=${RUNS:-1}
for b in "$before" "$after"; do
  [ -x "$b/vexlo" ] || { echo "wiresession: no vexlo in $b" >&2; exit 2; }
done

missing=()
for p in tcpdump xdotool xvfb xauth imagemagick gcc python3; do
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)" = installed ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "wiresession: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

rm -rf "$out"
mkdir -p "$out"
gcc -shared -fPIC -O2 -Wall -Wextra -o "$out/wireclock.so" tools/wireclock.c -ldl
export WIRESESSION_SHIM=$out/wireclock.so

play() { # BIN DIR
  echo "== $1 -> $2"
  xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1600x1200x24 -noreset" \
    python3 tools/wiresession.py play "$1" "$2"
}
for run in $(seq 1 "$runs"); do
  play "$before" "$out/before-$run"
  play "$after" "$out/after-$run"
done

status=0
if [ "$runs" -gt 1 ]; then
  echo "== before, run 1 against run 2"
  python3 tools/wiresession.py compare "$out/before-1" "$out/before-2" || status=1
  echo "== after, run 1 against run 2"
  python3 tools/wiresession.py compare "$out/after-1" "$out/after-2" || status=1
fi
echo "== before against after"
python3 tools/wiresession.py compare "$out/before-1" "$out/after-1" || status=1
exit $status
