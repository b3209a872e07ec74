#!/usr/bin/env bash
# Builds the program and runs it: garbled text on standard input, the repair variants out.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset native >/dev/null
cmake --build --preset native --target tavrik-cli >/dev/null
exec build/native/cli/tavrik-cli "$@"
