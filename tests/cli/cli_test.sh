#!/usr/bin/env bash
# tavrik-cli as a script would use it, in a temporary folder.
set -u
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TAVRIK_ACP=1251 TAVRIK_OEMCP=866
failures=0
check() {  # check DESCRIPTION EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

# fix FILE writes FILE.fixed and nothing else; a missing file is exit 1 with a message.
printf '\xef\xf0\xe8\xe2\xe5\xf2, \xec\xe8\xf0' > "$work/letter.txt"
"$cli" fix "$work/letter.txt" > /dev/null; check "fix exit" 0 $?
check "fix output" "привет, мир" "$(cat "$work/letter.txt.fixed")"
check "fix leaves the input" "$(printf '\xef\xf0\xe8\xe2\xe5\xf2, \xec\xe8\xf0')" "$(cat "$work/letter.txt")"
err=$("$cli" fix "$work/missing.txt" 2>&1 >/dev/null); check "missing exit" 1 $?
case "$err" in *"cannot read"*) ;; *) check "missing message" "cannot read ..." "$err" ;; esac
check "nothing else written" "letter.txt letter.txt.fixed" "$(cd "$work" && echo *)"

# fix - repairs standard input to standard output; KOI8-R shown as Windows-1251 included.
check "stdin" "привет" "$(printf '\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82' | "$cli" fix -)"

# detect names the code page whose reading is the most plausible Russian; --by-count the one that
# reads the most Cyrillic letters, which cannot tell KOI8-R from Windows-1251.
check "detect" "$work/letter.txt: cp1251 (1251), reads as the most plausible Russian" \
  "$("$cli" detect "$work/letter.txt")"
check "detect --by-count" "$work/letter.txt: cp1251 (1251), reads with the most Cyrillic letters" \
  "$("$cli" detect --by-count "$work/letter.txt")"
mkdir "$work/detect"
sentence='Щётку для обуви положи в нижний ящик комода, Юра.'
for charset in KOI8-R ISO-8859-5 IBM866 MAC-CYRILLIC; do
  printf '%s' "$sentence" | iconv -f UTF-8 -t $charset > "$work/detect/$charset.txt"
done
check "detect KOI8-R" "$work/detect/KOI8-R.txt: koi8r (20866), reads as the most plausible Russian" \
  "$("$cli" detect "$work/detect/KOI8-R.txt")"
check "detect KOI8-R by count" "$work/detect/KOI8-R.txt: cp1251 (1251), reads with the most Cyrillic letters" \
  "$("$cli" detect --by-count "$work/detect/KOI8-R.txt")"
check "detect several" "iso88595 (28595)
cp866 (866)
maccyrillic (10007)" "$("$cli" detect "$work/detect/ISO-8859-5.txt" "$work/detect/IBM866.txt" \
  "$work/detect/MAC-CYRILLIC.txt" | sed 's/.*: \(.*\),.*/\1/')"

# Readings beside the catalogue: MacCyrillic, and Windows' own 1251, which shows byte 0x98 (the
# second byte of UTF-8 «И») as U+0098; no strict chain restores a text that holds it.
"$cli" fix "$work/detect/MAC-CYRILLIC.txt" > /dev/null; check "fix MacCyrillic exit" 0 $?
check "fix MacCyrillic" "$sentence" "$(cat "$work/detect/MAC-CYRILLIC.txt.fixed")"
twice=$( (printf '\xd0\xa0\xc2\x98'; printf 'ли даже два файла' | iconv -f CP1251 -t UTF-8) | "$cli" fix -)
check "fix Windows' 0x98" "Или даже два файла" "$twice"

# When no reading reads as text, fix leaves it as it is, says so, and fails for that input only.
printf '\x01\x02\x03\x04\x05\x06\x07\x08\x0e\x0f\x10\x11\x12\x13\x14' > "$work/detect/noise.bin"
printf 'kept' > "$work/detect/noise.bin.fixed"
err=$("$cli" fix "$work/detect/noise.bin" "$work/detect/KOI8-R.txt" 2>&1 > /dev/null)
check "implausible exit" 1 $?
check "implausible message" "tavrik-cli: $work/detect/noise.bin: no reading of it reads as text; left unchanged" "$err"
check "implausible: an existing .fixed kept" "kept" "$(cat "$work/detect/noise.bin.fixed")"
check "the other file repaired" "$sentence" "$(cat "$work/detect/KOI8-R.txt.fixed")"
"$cli" fix - < "$work/detect/noise.bin" > "$work/detect/out" 2> "$work/detect/err"
check "implausible stdin exit" 1 $?
cmp -s "$work/detect/noise.bin" "$work/detect/out"; check "implausible stdin copied unchanged" 0 $?
check "implausible stdin message" "tavrik-cli: standard input: no reading of it reads as text; left unchanged" \
  "$(cat "$work/detect/err")"

# names lists, and renames only when asked.
mkdir "$work/tree"
touch "$work/tree/$(printf '\xe2\x80\x9d\xc2\xae\xd0\xb2\xc2\xae') 2020"  # ”®в® 2020
"$cli" names "$work/tree" > "$work/out"; check "names exit" 0 $?
check "names renames nothing" "$(printf '\xe2\x80\x9d\xc2\xae\xd0\xb2\xc2\xae') 2020" "$(ls "$work/tree")"
check "names of ./ shows ./NAME" "./$(printf '\xe2\x80\x9d\xc2\xae\xd0\xb2\xc2\xae') 2020	-> Фото 2020" \
  "$(cd "$work/tree" && "$cli" names ./ | head -n 1)"
"$cli" names "$work/tree" --rename > /dev/null; check "rename exit" 0 $?
check "renamed" "Фото 2020" "$(ls "$work/tree")"
"$cli" names "$work/nowhere" 2> /dev/null; check "names missing" 1 $?

# names stays on the file system of the folder given: a file system mounted inside is passed
# over (its own name still listed), and the summary says so. Mounting needs a namespace of our
# own.
mkdir -p "$work/mounts/яряър" "$work/mounts/plain"
if unshare -rm true 2> /dev/null; then
  listing=$(unshare -rm sh -c "mount -t tmpfs none '$work/mounts/plain' &&
    mount -t tmpfs none '$work/mounts/яряър' && touch '$work/mounts/plain/яряър' &&
    '$cli' names '$work/mounts'")
  check "names -xdev exit" 0 $?
  check "names -xdev" "$work/mounts/яряър	-> папка
1 garbled name(s) found; nothing renamed (--rename renames them)
2 mount point(s) passed over: other file systems are not walked" "$listing"
else
  echo "SKIP: names across mount points: no namespace of our own (unshare -rm)"
fi
rm -rf "$work/mounts"

# names shows its progress on standard error only when that is a terminal; the line is cleared
# before the listing.
"$cli" names "$work/tree" 2> "$work/err" > /dev/null
check "no progress off a terminal" "" "$(cat "$work/err")"
if command -v script > /dev/null; then
  script -qec "'$cli' names '$work/tree' > '$work/out'" /dev/null > "$work/tty" 2>&1
  check "progress exit" 0 $?
  case "$(tr '\r' '\n' < "$work/tty")" in
    *"scanning: 0 entries, $work/tree"*) ;;
    *) check "progress on a terminal" "scanning: 0 entries, $work/tree" "$(cat -v "$work/tty")" ;;
  esac
  check "progress cleared" "" "$(tr '\r' '\n' < "$work/tty" | tail -n 1 | tr -d ' ')"
  check "listing unchanged" "0 garbled name(s) found; nothing renamed (--rename renames them)" \
    "$(tail -n 1 "$work/out")"
else
  echo "SKIP: names progress on a terminal: no script(1)"
fi

# A subfolder that cannot be read: reported on standard error, exit 1, after listing what could
# be read. Root reads every folder whatever its mode, so as root the check runs as nobody.
as_reader() { "$@"; }
if [ "$(id -u)" = 0 ]; then
  if command -v setpriv > /dev/null; then
    as_reader() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
    chmod 755 "$work"
  else
    as_reader() { return 77; }
  fi
fi
mkdir -p "$work/locked/open" "$work/locked/shut"
touch "$work/locked/open/$(printf '\xe2\x80\x9d\xc2\xae\xd0\xb2\xc2\xae')"  # ”®в®
chmod 000 "$work/locked/shut"
as_reader "$cli" names "$work/locked" > "$work/out" 2> "$work/err"; status=$?
if [ "$status" = 77 ]; then
  echo "SKIP: names with an unreadable folder: running as root without setpriv"
else
  check "unreadable folder exit" 1 "$status"
  check "unreadable folder message" "tavrik-cli: cannot read folder $work/locked/shut" "$(cat "$work/err")"
  check "readable part listed" "$work/locked/open/$(printf '\xe2\x80\x9d\xc2\xae\xd0\xb2\xc2\xae')	-> Фото" \
    "$(head -n 1 "$work/out")"
fi
chmod 755 "$work/locked/shut"

# Names the count of Cyrillic letters misses: «папка» written in 1251 and read in 866 shows as
# «яряър», all Cyrillic. names finds and renames it; --by-count (the window's rule) does not;
# real names stay, those with a dash or «№» too (in the other code page each gains a letter).
mkdir -p "$work/names/яряър" "$work/names/Документы"
touch "$work/names/яряър/ъюэЇшуш.txt" "$work/names/Отчёт за квартал.docx" "$work/names/readme.txt" \
  "$work/names/список — март.txt" "$work/names/тест №1.txt"
check "names --by-count misses" "0 garbled name(s) found; nothing renamed (--rename renames them)" \
  "$("$cli" names "$work/names" --by-count)"
check "names finds" "$work/names/яряър	-> папка
$work/names/яряър/ъюэЇшуш.txt	-> конфиги.txt" "$("$cli" names "$work/names" | head -n 2)"
"$cli" names --by-count "$work/names" --rename > /dev/null; check "names --by-count --rename" 0 $?
check "names --by-count renames nothing" \
  "readme.txt Документы Отчёт за квартал.docx список — март.txt тест №1.txt яряър" \
  "$(cd "$work/names" && LC_ALL=C ls | tr "\n" " " | sed "s/ $//")"
"$cli" names "$work/names" --rename > /dev/null; check "names --rename exit" 0 $?
check "names renamed" \
  "readme.txt Документы Отчёт за квартал.docx папка список — март.txt тест №1.txt" \
  "$(cd "$work/names" && LC_ALL=C ls | tr "\n" " " | sed "s/ $//")"
check "names renamed inside" "конфиги.txt" "$(ls "$work/names/папка")"
"$cli" names "$work/names" "$work/tree" 2> /dev/null; check "names two folders" 2 $?
"$cli" names --rename --rename "$work/names" 2> /dev/null; check "names --rename twice" 2 $?
rm -rf "$work/names"

# A KOI8-R subtitle file, shown as Windows-1251 shows it: the most plausible reading restores
# it; the text score's choice (--by-score) stays with the first reading, which is wrong here.
subtitles='1
00:00:01,000 --> 00:00:04,000
Где ты был вчера вечером?

2
00:00:05,000 --> 00:00:08,000
Я ждал тебя у входа в театр.
'
printf '%s' "$subtitles" | iconv -f UTF-8 -t KOI8-R > "$work/film.srt"
"$cli" fix "$work/film.srt" > /dev/null; check "subtitles exit" 0 $?
printf '%s' "$subtitles" | cmp -s - "$work/film.srt.fixed"; check "subtitles restored" 0 $?
"$cli" fix --by-score "$work/film.srt" > /dev/null
printf '%s' "$subtitles" | cmp -s - "$work/film.srt.fixed"; check "by score differs" 1 $?
check "top marks the choice" "Где ты был вчера?" \
  "$(printf 'Где ты был вчера?' | iconv -f UTF-8 -t KOI8-R | "$cli" top 1 | sed -n 's/^\*.*\t//p')"

# list prints the variants, the window's preselection marked: of the highest scores, the most
# plausible (KOI8-R read as 1251 scores as high as read as KOI8-R).
check "list best" "* utf8 → cp1251 → cp1251	150	привет" \
  "$(printf 'привет' | "$cli" list | grep '^\*')"
check "list preselects as the window does" "* utf8 → utf8 → koi8r	100	Привет" \
  "$(printf 'Привет' | iconv -f utf-8 -t koi8-r | "$cli" list | grep '^\*')"
"$cli" frobnicate 2> /dev/null; check "unknown command" 2 $?

# Every write is checked through to the close: a full standard output is exit 1, with a message.
printf 'привет' > "$work/plain.txt"
for command in "fix -" "list" "top" "detect $work/plain.txt" "names $work/tree" "help"; do
  err=$("$cli" $command < "$work/plain.txt" 2>&1 > /dev/full); check "$command > /dev/full exit" 1 $?
  check "$command > /dev/full message" \
    "tavrik-cli: cannot write standard output: No space left on device" "$err"
done

# Standard input closed, a folder, or longer than a file may be: exit 1, never an empty result.
for command in "fix -" "list" "top"; do
  "$cli" $command <&- > /dev/null 2>&1; check "$command, input closed" 1 $?
done
"$cli" fix - < "$work/tree" > /dev/null 2>&1; check "folder as input" 1 $?
for command in "list" "top"; do
  err=$(timeout 20 "$cli" $command < /dev/zero 2>&1 > /dev/null); check "$command < /dev/zero" 1 $?
  case "$err" in *"too large"*) ;; *) check "$command < /dev/zero message" "... too large ..." "$err" ;; esac
done
head -c 1048575 /dev/zero | tr '\0' a | "$cli" fix - > /dev/null 2>&1; check "input of the largest size" 0 $?
# fix - streams an input of any size through, in memory that does not grow with it.
check "fix - < /dev/zero streams" 5000000 \
  "$(timeout 20 "$cli" fix - < /dev/zero 2> /dev/null | head -c 5000000 | wc -c)"

# Files of any size: the reading is chosen on the start and applied to the whole file.
line='Осенью в нашем городе рано темнеет, и фонари зажигают уже к пяти часам. Люди спешат домой.'
for i in $(seq 1 33000); do echo "$line $i"; done > "$work/long.utf8"  # 3.3 MB
iconv -f UTF-8 -t CP1251 "$work/long.utf8" > "$work/long.txt"
"$cli" fix "$work/long.txt" > /dev/null; check "3 MB 1251 file exit" 0 $?
cmp -s "$work/long.utf8" "$work/long.txt.fixed"; check "3 MB 1251 file repaired exactly" 0 $?
head -c 700000 "$work/long.txt" > "$work/mid.txt"
"$cli" fix "$work/mid.txt" > /dev/null; check "700,000-byte 1251 file exit" 0 $?
iconv -f CP1251 -t UTF-8 "$work/mid.txt" | cmp -s - "$work/mid.txt.fixed"
check "700,000-byte 1251 file repaired exactly" 0 $?
iconv -f UTF-8 -t KOI8-R "$work/long.utf8" | "$cli" fix - > "$work/long.out"; check "fix - 3 MB exit" 0 $?
cmp -s "$work/long.utf8" "$work/long.out"; check "fix - 3 MB KOI8-R restored exactly" 0 $?
# UTF-8 shown as Windows-1251 and saved as UTF-8: characters of two and four bytes cross the
# pieces the file is read in, in both steps of the chain.
iconv -f CP1251 -t UTF-8 "$work/long.utf8" > "$work/twice.txt"
"$cli" fix "$work/twice.txt" > /dev/null; check "3 MB twice garbled exit" 0 $?
cmp -s "$work/long.utf8" "$work/twice.txt.fixed"; check "3 MB twice garbled restored exactly" 0 $?
# A start of plain ASCII longer than the part the reading is chosen on goes through unchanged;
# the reading is chosen on what follows.
{ for i in $(seq 1 8000); do echo "timestamp=$i level=info message=started"; done; cat "$work/long.txt"; } \
  > "$work/ascii.txt"
"$cli" fix "$work/ascii.txt" > /dev/null; check "ASCII start exit" 0 $?
iconv -f CP1251 -t UTF-8 "$work/ascii.txt" | cmp -s - "$work/ascii.txt.fixed"
check "ASCII start, then 1251: repaired exactly" 0 $?
# A byte at the end that Windows-1251 leaves undefined (0x98) shows as Windows shows it, U+0098:
# the file is repaired whole, line by line, and the output is UTF-8 throughout.
{ cat "$work/long.txt"; printf 'x\x98\n'; } > "$work/tail.txt"
printf 'old' > "$work/tail.txt.fixed"
"$cli" fix "$work/tail.txt" "$work/letter.txt" > /dev/null; check "odd tail exit" 0 $?
{ iconv -f CP1251 -t UTF-8 "$work/long.txt"; printf 'x\xc2\x98\n'; } | cmp -s - "$work/tail.txt.fixed"
check "odd tail: repaired, the odd byte as U+0098" 0 $?
check "odd tail leaves no temporary file" "" "$(cd "$work" && ls -A | grep tavrik)"
check "odd tail: the other file repaired too" "привет, мир" "$(cat "$work/letter.txt.fixed")"
{ cat "$work/long.txt"; printf 'x\x98\n'; } | "$cli" fix - | tail -c 4 | od -An -tx1 | tr -d ' \n' > "$work/tail.hex"
check "fix - odd tail" "78c2980a" "$(cat "$work/tail.hex")"
# A byte order mark is no part of the text: what follows it is judged as if it were absent, and
# fix writes UTF-8's mark back where the input had one of either kind, whole or streamed.
garbled_line='РџСЂРёРІРµС‚, РјРёСЂ!'
for form in UTF-8 UTF-16LE UTF-16BE; do
  case $form in UTF-8) mark='\xef\xbb\xbf' ;; UTF-16LE) mark='\xff\xfe' ;; UTF-16BE) mark='\xfe\xff' ;; esac
  { printf "$mark"; printf '%s\n' "$garbled_line" | iconv -f UTF-8 -t $form; } > "$work/marked.txt"
  check "$form mark: repaired, UTF-8's mark written" "$(printf '\xef\xbb\xbfПривет, мир!\n')" \
    "$("$cli" fix - < "$work/marked.txt")"
  for i in $(seq 1 40000); do printf '%s\n' "$garbled_line"; done | iconv -f UTF-8 -t $form > "$work/long.body"
  { printf "$mark"; cat "$work/long.body"; } > "$work/marked.big"
  "$cli" fix "$work/marked.big" > /dev/null; check "$form mark streamed exit" 0 $?
  { printf '\xef\xbb\xbf'; for i in $(seq 1 40000); do printf 'Привет, мир!\n'; done; } |
    cmp -s - "$work/marked.big.fixed"; check "$form mark streamed: repaired whole" 0 $?
done
rm -f "$work"/marked.* "$work/long.body"
# A line of more than 1 MiB without a byte of ASCII is cut between characters, never inside one.
python3 -c 'import sys; sys.stdout.buffer.write(("привет\u00a0мир…\u00a0" * 100000).encode())' \
  > "$work/no_ascii.txt"
"$cli" fix - < "$work/no_ascii.txt" | cmp -s - "$work/no_ascii.txt"
check "a long line without ASCII kept whole" 0 $?
rm -f "$work/no_ascii.txt"
# Right text in any language is written back as it is, exit 0.
for line in 'fin de fichier prématurée' 'Příliš žluťoučký kůň' 'Привіт, як справи?' 'plain English'; do
  check "right text kept: $line" "$line" "$(printf '%s' "$line" | "$cli" fix -)"
done
# UTF-8 lines with one line of 1251 among them: each line shows its own way, so the 1251 line is
# repaired and every other byte kept, at every size, judged whole or streamed; the output is UTF-8.
good='Первая строка записана в UTF-8, как и все до неё.'
bad=$(printf 'Вторая строка записана в Windows-1251.' | iconv -f UTF-8 -t CP1251)
length=$(printf '%s\n' "$good" | wc -c)
mixed() {  # SIZE LINE FILE: lines of $good, line LINE of $bad, then ASCII to SIZE bytes
  { yes "$good" | head -n $(($2 - 1)); printf '%s\n' "$bad"
    yes "$good" | head -n $((($1 - $2 * length) / length - 1)); yes x | tr -d '\n'; } |
    head -c "$1" > "$3"
}
for size_line in 200:2 1048575:$((1048575 / length - 1)) 1048576:$((1048576 / length - 1)) \
  3000000:3 3000000:$((3000000 / length - 2)); do
  size=${size_line%:*} at=${size_line#*:}
  mixed "$size" "$at" "$work/mixed.txt"
  "$cli" fix "$work/mixed.txt" > /dev/null; check "mixed $size_line exit" 0 $?
  "$cli" fix - < "$work/mixed.txt" > "$work/mixed.out"; check "mixed $size_line stdin exit" 0 $?
  for out in "$work/mixed.txt.fixed" "$work/mixed.out"; do
    iconv -f UTF-8 -t UTF-8 "$out" > /dev/null 2>&1; check "mixed $size_line: UTF-8 out" 0 $?
    check "mixed $size_line: the 1251 line repaired" 1 "$(grep -c '^Вторая строка записана в Windows-1251.$' "$out")"
    check "mixed $size_line: the UTF-8 lines kept" "$(grep -c "^$good\$" "$work/mixed.txt")" \
      "$(grep -c "^$good\$" "$out")"
  done
done
check "mixed: no temporary file" "" "$(cd "$work" && ls -A | grep tavrik)"
rm -f "$work"/mixed.*

# list, top and fix --by-score keep the limit of 1048575 bytes.
for command in "list" "top" "fix --by-score -"; do
  err=$("$cli" $command < "$work/long.txt" 2>&1 > /dev/null); check "$command of 3 MB" 1 $?
  case "$err" in *"too large"*) ;; *) check "$command of 3 MB message" "... too large ..." "$err" ;; esac
done
"$cli" fix --by-score "$work/long.txt" > /dev/null 2>&1; check "fix --by-score of a 3 MB file" 1 $?
# Past the size judged whole too: binary data that no reading makes text of is left as it is.
head -c 3000000 /dev/urandom > "$work/noise.big"
err=$("$cli" fix "$work/noise.big" 2>&1 > /dev/null); check "3 MB of noise exit" 1 $?
check "3 MB of noise message" "tavrik-cli: $work/noise.big: no reading of it reads as text; left unchanged" "$err"
check "3 MB of noise: no .fixed" "" "$(cd "$work" && ls -A | grep 'noise.big.fixed')"
"$cli" fix - < "$work/noise.big" 2> /dev/null | cmp -s - "$work/noise.big"
check "3 MB of noise on standard input goes through unchanged" 0 $?
rm -f "$work"/long.* "$work"/mid.* "$work"/twice.* "$work"/tail.* "$work"/ascii.* "$work"/noise.big

# Bad numbers are wrong usage.
for n in 99999999999999999999 -1 5x +; do
  "$cli" top "$n" "$work/plain.txt" > /dev/null 2>&1; check "top $n" 2 $?
done
"$cli" top -3 < "$work/plain.txt" > /dev/null 2>&1; check "top -3" 2 $?
"$cli" top 18446744073709551615 "$work/plain.txt" > /dev/null; check "top largest" 0 $?

# Only regular files are read: a pipe with no writer or a device is refused at once.
mkfifo "$work/pipe"
for path in "$work/pipe" /dev/null; do
  for command in fix detect list; do
    err=$(timeout 20 "$cli" $command "$path" 2>&1 > /dev/null); check "$command $path" 1 $?
    check "$command $path message" "tavrik-cli: cannot read $path: not a regular file" "$err"
  done
done
rm "$work/pipe"

# A name near the limit of 255 bytes still gets its .fixed; no temporary file stays behind.
long=$(printf 'n%.0s' $(seq 1 245))
printf '\xef\xf0\xe8\xe2\xe5\xf2' > "$work/$long"
"$cli" fix "$work/$long" > /dev/null; check "long name" 0 $?
check "long name output" "привет" "$(cat "$work/$long.fixed")"
check "long name, nothing else" "" "$(cd "$work" && ls -A | grep tavrik)"

# A file grown past the size limit: the write fails and is reported; the temporary file goes.
head -c 200000 /dev/zero | tr '\0' 'a' > "$work/big.txt"
err=$(ulimit -f 16; "$cli" fix "$work/big.txt" 2>&1 > /dev/null); check "ulimit -f exit" 1 $?
check "ulimit -f message" "tavrik-cli: cannot write $work/big.txt.fixed: File too large" "$err"
check "ulimit -f leaves nothing" "" "$(cd "$work" && ls -A | grep -e tavrik -e big.txt.fixed)"

# Names that hold line breaks or tabs are shown escaped, so each listing line reads one way.
mkdir "$work/odd"
touch "$work/odd/$(printf '\xe2\x80\x9d\xc2\xae\xd0\xb2\xc2\xae\t-> x\n2020')"
check "names escaped" "$work/odd/”®в®\\t-> x\\n2020	-> Фото\\t-> x\\n2020" \
  "$("$cli" names "$work/odd" | head -n 1)"
# A file name that is not UTF-8 is taken as it is and shows with its bytes escaped.
err=$("$cli" detect "$work/$(printf 'a\xff\nb')" 2>&1); check "not UTF-8 exit" 1 $?
check "not UTF-8 message" "tavrik-cli: cannot read $work/a\\xFF\\nb: No such file or directory" "$err"

if [ "$failures" -eq 0 ]; then echo "tavrik-cli: all checks passed"; fi
exit $((failures > 0))
