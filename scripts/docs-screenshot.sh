#!/usr/bin/env bash
# Makes docs/window.png again: the window alone, under Wine on a virtual display at 96 DPI (100 %),
# after fixing a text of UTF-8 read as Windows-1251, with the variants found for it.
#   scripts/docs-screenshot.sh
# Under Wine the symbols at the start of some button captions show as empty boxes: Wine 8 draws
# captions one UTF-16 unit at a time, so a character outside the BMP gets no glyph whatever the
# font.
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/window.png
shot=$(mktemp "${TMPDIR:-/tmp}/tavrik-docs.XXXXXX.png")
trap 'rm -f "$shot"' EXIT
TAVRIK_WINE_DPI=96 TAVRIK_SHOT_WINDOW=1 \
  scripts/screenshot.sh "$shot" 'РџСЂРёРІРµС‚, РјРёСЂ! Р­С‚Рѕ РїСЂРѕРІРµСЂРєР°.'
mkdir -p docs
# Fewer than 256 colours: a palette keeps every pixel and the file small; no date or comments in it.
convert "$shot" -strip -define png:compression-level=9 "PNG8:$out"
echo "Written: $out ($(stat -c %s "$out") bytes, $(identify -format '%wx%h' "$out"))"
