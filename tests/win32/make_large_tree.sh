#!/usr/bin/env bash
# Makes DIR, once, for the window tests under Wine: 100 folders of 999 empty files (a hundred
# thousand entries). Made here in a few seconds; Wine itself takes over a minute to make them.
set -euo pipefail
dir=$1
[ -f "$dir.complete" ] && exit 0
rm -rf "$dir"
mkdir -p "$dir"
for folder in $(seq 0 99); do
  mkdir "$dir/d$folder"
  (cd "$dir/d$folder" && seq -f 'f%g.txt' 0 998 | xargs touch)
done
touch "$dir.complete"
