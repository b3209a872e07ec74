#!/bin/sh
# The speed of the walk of `tavrik-cli names`, with every reading of garbled names, against
# `find DIR > /dev/null` on the same tree, both with a warm cache: a tree of 100,000 entries
# (1,000 folders of 99 files: ASCII names, right Russian ones, accented Latin ones, and one in
# ten garbled one of the common ways) is made under a temporary folder and removed afterwards.
#   scripts/bench-names-walk.sh [build/native/app/cli/tavrik-cli]
set -eu
cli=${1:-build/native/app/cli/tavrik-cli}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
python3 - "$root" <<'PY'
import os, sys
root = sys.argv[1]
names = ["report_%d.txt", "IMG_%04d.jpg", "Отчёт за март %d.docx", "Фото с дачи %d.jpg",
         "Café %d.txt", "Straße %d.pdf", "список дел — %d.txt", "data-%d.csv", "notes %d.md"]
garbled = ["РџСЂРёРІРµС‚ %d.txt", "╤Б╨░╨╜╤Г╨╖╨╡╨╗ %d.zip", "Ïðèâåò %d.mp3", "рТЙЧЕФ %d.doc",
           "ЏаЁўҐв %d.txt"]
for d in range(1000):
    folder = os.path.join(root, "folder %d" % d)
    os.mkdir(folder)
    for f in range(99):
        pattern = garbled[f % len(garbled)] if f % 10 == 0 else names[f % len(names)]
        open(os.path.join(folder, pattern % (d * 100 + f)), "w").close()
PY
best() {  # the least wall time of three runs, in seconds
    least=
    for _ in 1 2 3; do
        start=$(date +%s.%N)
        "$@" > /dev/null 2>&1 || true
        end=$(date +%s.%N)
        took=$(echo "$end - $start" | bc)
        if [ -z "$least" ] || [ "$(echo "$took < $least" | bc)" = 1 ]; then least=$took; fi
    done
    echo "$least"
}
find "$root" > /dev/null  # warm the cache
entries=$(find "$root" | wc -l)
found=$("$cli" names "$root" 2>/dev/null | tail -1)
find_time=$(best find "$root")
names_time=$(best "$cli" names "$root")
echo "entries: $entries; $found"
echo "find: ${find_time} s; tavrik-cli names: ${names_time} s; ratio $(echo "scale=2; $names_time / $find_time" | bc)"
