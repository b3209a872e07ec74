#!/usr/bin/env bash
# Builds tavrik.exe and starts it under Wine, in a private Wine prefix and home made for this
# run (as on a Russian Windows: code pages 1251 and 866). Without a display it runs the window
# on a virtual one, fixes a garbled sample there and prints a screenshot's path and the text.
#   scripts/run.sh             the window
#   scripts/run.sh --console   the console tool instead: garbled text on standard input
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--console" ]; then
  scripts/setup-debian.sh native
  cmake --preset native >/dev/null
  cmake --build --preset native --target tavrik-cli >/dev/null
  exec build/native/app/cli/tavrik-cli
fi
scripts/setup-debian.sh windows
cmake --preset windows >/dev/null
cmake --build --preset windows --target tavrik >/dev/null
echo "Built build/windows/app/win32/tavrik.exe" >&2
if [ -z "${DISPLAY:-}" ]; then
  # No display here: run the window on a virtual one, fix a garbled sample, photograph it.
  echo "No display (DISPLAY is not set): running the window on a virtual display instead." >&2
  exec scripts/screenshot.sh build/tavrik-window.png
fi
exec scripts/with-wine.sh ru_RU wine build/windows/app/win32/tavrik.exe
