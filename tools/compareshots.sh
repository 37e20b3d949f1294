#!/usr/bin/env bash
# Compares two folders of screenshots pixel by pixel (ImageMagick's compare -metric AE:
# the number of pixels that differ) and writes diff-NAME.png for each pair that differs.
# Make the folders by running tools/screenshots.sh, scripts/screenshots-helpwindows,
# tools/gameshots.sh and tools/shot-phrases in two trees and copying docs/screenshots/
# away after each.
#   tools/compareshots.sh BEFORE_DIR AFTER_DIR [DIFF_DIR]
# Exit 0 when every pair is identical, 1 otherwise.
set -uo pipefail
[ $# -ge 2 ] || { sed -n '2,8p' "$0" >&2; exit 2; }
before=$1 after=$2 diffs=${3:-$2/diff}
mkdir -p "$diffs"
status=0
for a in "$before"/*.png; do
  name=$(basename "$a")
  b=$after/$name
  [ -f "$b" ] || { echo "$name: missing in $after"; status=1; continue; }
  ae=$(compare -metric AE "$a" "$b" "$diffs/diff-$name" 2>&1)
  if [ "$ae" = 0 ]; then
    rm -f "$diffs/diff-$name"
  else
    status=1
  fi
  printf '%-20s AE %s\n' "$name" "$ae"
done
for b in "$after"/*.png; do
  [ -f "$before/$(basename "$b")" ] || { echo "$(basename "$b"): missing in $before"; status=1; }
done
exit $status
