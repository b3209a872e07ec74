#!/usr/bin/env bash
# Runs a Windows executable under Wine: the emulator CMake and CTest use for the Windows build.
# Only inside the private prefix scripts/with-wine.sh makes, never the user's own ~/.wine; a
# hang or a crash ends within a bounded time instead of waiting for a dialog.
set -euo pipefail
if [ -z "${TAVRIK_WINE_SESSION:-}" ]; then
  echo "wine-run.sh: run through scripts/with-wine.sh, which makes a private Wine prefix" >&2
  exit 2
fi
exec timeout --kill-after=10 "${TAVRIK_WINE_TIMEOUT:-900}" wine "$@"
