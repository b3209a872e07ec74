#!/usr/bin/env bash
# Photographs the running window under Wine on a virtual display, with a garbled text fixed,
# and prints the picture's path and the repaired text as the window shows it:
#   scripts/screenshot.sh [out.png] [garbled text]
# Not a test: a way to look at the window without Windows or without a display.
# TAVRIK_WINE_DPI=144 photographs it as on a screen set to 150 %, on a virtual display large
# enough for the window at that scale. TAVRIK_SHOT_WINDOW=1 photographs the window alone, not the
# whole virtual screen around it.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/tavrik-window.png}")
text=${2:-РџСЂРёРІРµС‚, РјРёСЂ! Р­С‚Рѕ РїСЂРѕРІРµСЂРєР°.}
scripts/setup-debian.sh windows display
cmake --preset windows >/dev/null
cmake --build --preset windows --target tavrik drive_window >/dev/null
export TAVRIK_SHOT="$out" TAVRIK_SHOT_TEXT="$text" TAVRIK_SHOT_WINDOW="${TAVRIK_SHOT_WINDOW:-}"
dpi=${TAVRIK_WINE_DPI:-96}
screen="$((1024 * dpi / 96))x$((768 * dpi / 96))x24"
xvfb-run -a -s "-screen 0 $screen" scripts/with-wine.sh ru_RU bash -c '
  wine build/windows/app/win32/tavrik.exe & program=$!
  sleep 3
  wine build/windows/app/win32/drive_window.exe "$TAVRIK_SHOT_TEXT" >"$TAVRIK_SHOT.txt"
  sleep 2
  area=root
  # The window by its title: Wine draws its frame itself (no window manager), in the same X window.
  [ -z "$TAVRIK_SHOT_WINDOW" ] || area=$(xdotool search --onlyvisible --name "^Tavrik" | head -n 1)
  import -window "$area" "$TAVRIK_SHOT"
  kill $program 2>/dev/null || true'
echo "Screenshot: $out"
echo "Garbled:    $text"
echo "Repaired:   $(tr -d '\r' <"$out.txt")"
rm -f "$out.txt"
