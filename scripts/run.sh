#!/usr/bin/env bash
# Builds tavrik.exe and starts it under Wine, in a private Wine prefix and home made for this
# run (as on a Russian Windows: code pages 1251 and 866). Needs a display.
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
  cat >&2 <<'TXT'
There is no display here (DISPLAY is not set), so the window cannot be shown.
  scripts/screenshot.sh window.png     photographs it on a virtual display, a text fixed
  scripts/run.sh --console             the console tool: garbled text on standard input
TXT
  exit 0
fi
exec scripts/with-wine.sh ru_RU wine build/windows/app/win32/tavrik.exe
