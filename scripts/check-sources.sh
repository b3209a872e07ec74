#!/usr/bin/env bash
# Checks the sources themselves: every C++ file as .clang-format lays it out, and every generated
# table equal to what its checked-in generator writes now.
#   scripts/check-sources.sh          check (CI runs this)
#   scripts/check-sources.sh --fix    reformat the files and regenerate the tables instead
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh generators
fix=${1:-}
status=0

mapfile -t sources < <(git ls-files '*.cpp' '*.hpp')
if [ "$fix" = "--fix" ]; then
  clang-format -i "${sources[@]}"
else
  unformatted=()
  for file in "${sources[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
  done
  if [ ${#unformatted[@]} -gt 0 ]; then
    echo "not formatted as .clang-format says (scripts/check-sources.sh --fix):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    status=1
  fi
fi

# generator, then the table it writes
generated=(
  encoding/generate_single_byte_tables.py encoding/single_byte_tables.inc
  encoding/generate_reading_tables.py encoding/reading_tables.inc
  engine/language_model/generate_trigram_model.py engine/language_model/russian_trigrams.inc
  engine/lexicon/generate_word_forms.py engine/lexicon/russian_word_forms.inc
)
for ((i = 0; i < ${#generated[@]}; i += 2)); do
  generator=${generated[i]}
  table=${generated[i + 1]}
  fresh=$(mktemp)
  /usr/bin/python3 "$generator" >"$fresh"
  if [ "$fix" = "--fix" ]; then
    mv "$fresh" "$table"
  elif ! cmp -s "$fresh" "$table"; then
    echo "$table differs from what $generator writes now" >&2
    rm -f "$fresh"
    status=1
  else
    rm -f "$fresh"
  fi
done
[ $status -eq 0 ] && echo "sources: formatted, generated tables up to date"
exit $status
