#!/usr/bin/env bash
# Times the window's fix from another process, as a person's click would be: the running window
# under Wine on a virtual display gets the text of FILE (UTF-8) in its input box, and its fix
# button is pressed N times; prints each fix's milliseconds until the button returned and until
# the window was painted again, and the median. Not a test: the figures depend on the machine.
#   scripts/time-window.sh FILE [N]
set -euo pipefail
cd "$(dirname "$0")/.."
file=$(realpath "$1")
runs=${2:-5}
scripts/setup-debian.sh windows display
cmake --preset windows >/dev/null
cmake --build --preset windows --target tavrik drive_window >/dev/null
export TAVRIK_TIME_FILE="$file" TAVRIK_TIME_RUNS="$runs"
xvfb-run -a -s "-screen 0 1024x768x24" scripts/with-wine.sh ru_RU bash -c '
  wine build/windows/app/win32/tavrik.exe & program=$!
  sleep 3
  wine build/windows/app/win32/drive_window.exe --time "$TAVRIK_TIME_RUNS" "@Z:$TAVRIK_TIME_FILE"
  kill $program 2>/dev/null || true'
