#!/usr/bin/env bash
# Plays a solo game on a virtual display (Xvfb) and saves three pictures of the
# main window in docs/screenshots/: round.png, scores.png, winner.png; then one
# against three computer players: bots-round.png, bots-scores.png; then the
# first game again on a desktop scaled by 2 (QT_SCALE_FACTOR=2) for round-scale2.png.
#   tools/gameshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} \
  scripts/setup --build-dir "$build" --target vexlo-gameshots --packages xvfb xauth >/dev/null
mkdir -p docs/screenshots
export XDG_RUNTIME_DIR=$(mktemp -d)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
chmod 700 "$XDG_RUNTIME_DIR"
for mode in "" bots; do
  xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24" \
    "$build/tools/vexlo-gameshots" docs/screenshots $mode
done
QT_SCALE_FACTOR=2 xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1800x1300x24" \
  "$build/tools/vexlo-gameshots" docs/screenshots -scale2
rm -f docs/screenshots/scores-scale2.png docs/screenshots/winner-scale2.png
