#!/usr/bin/env bash
# Checks that the folders form a stack: each includes only itself and the folders below it,
#   encoding < platform < engine < names < ui < app
# (tests, bench and fuzz may use them all), and that no operating-system header is included
# outside platform/ and the Windows program in app/win32/.
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(encoding platform engine names ui app)
status=0
for ((i = 0; i < ${#layers[@]}; i++)); do
  layer=${layers[i]}
  above=("${layers[@]:i+1}" tests bench fuzz)
  pattern="#include \"($(IFS='|'; echo "${above[*]}"))/"
  if hits=$(git grep -nE "$pattern" -- "$layer/"); then
    echo "$layer/ includes from a folder above it:" >&2
    echo "$hits" >&2
    status=1
  fi
done
system_headers='#include <(windows|winbase|shlobj|shellapi|commdlg|commctrl|unistd|fcntl|dirent|iconv|pwd)\.h>|#include <sys/'
if hits=$(git grep -nE "$system_headers" -- encoding engine names ui app/cli); then
  echo "an operating-system header outside platform/ and app/win32/:" >&2
  echo "$hits" >&2
  status=1
fi
[ $status -eq 0 ] && echo "layers: every folder includes only itself and the folders below it"
exit $status
