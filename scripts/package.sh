#!/usr/bin/env bash
# Builds the release people download, build/tavrik-<version>-win64.zip: tavrik.exe,
# tavrik-cli.exe, a short user guide in Russian and the notices of the sources our built-in
# tables come from. The version is the project's (CMakeLists.txt), as the programs show it.
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh windows generators
version=$(sed -n 's/^project(Tavrik VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package.sh: no version in CMakeLists.txt" >&2; exit 1; }
cmake --preset windows >/dev/null
cmake --build --preset windows --target tavrik tavrik-cli >/dev/null

name=tavrik-$version-win64
stage=build/package/$name
rm -rf "$stage"
mkdir -p "$stage"
cp build/windows/app/win32/tavrik.exe build/windows/app/cli/tavrik-cli.exe "$stage/"
# Texts for Notepad: UTF-8 with a byte order mark, CR LF line ends.
for_windows() { printf '\xEF\xBB\xBF'; sed 's/$/\r/'; }
for_windows <app/package/README.txt >"$stage/README.txt"
{
  cat app/package/NOTICES.txt
  # Each package with the stanza of the files the tables are made from: the header, that stanza
  # (who holds the copyright, which licence), and the licences' own stanzas.
  for source in 'fortunes-ru:*' 'manpages-ru:*' 'hunspell-ru:dictionaries/ru_RU/*'; do
    package=${source%%:*}
    files=${source#*:}
    printf '\n--- %s %s (Debian), from its copyright file ---\n\n' "$package" \
      "$(dpkg-query -W -f='${Version}' "$package")"
    awk -v files="Files: $files" 'BEGIN { RS = ""; ORS = "\n\n" }
      NR == 1 || index($0, files "\n") == 1 || (/^License: / && files == "Files: *")' \
      "/usr/share/doc/$package/copyright"
  done
} | for_windows >"$stage/NOTICES.txt"

zip=build/$name.zip
rm -f "$zip"
(cd build/package && python3 -m zipfile -c "../$name.zip" "$name")
echo "$zip"
