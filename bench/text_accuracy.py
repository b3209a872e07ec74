#!/usr/bin/env python3
"""Black-box accuracy of the console tool's repair of garbled text: runs `TAVRIK_CLI fix -` on
every item (the garbled text fed as its bytes on standard input, with TAVRIK_ACP=1251 and
TAVRIK_OEMCP=866) and counts what came out.

Items (all under bench/corpora/, made by make_corpora.py or gathered by hand, see README.md):
  russian_texts.txt  Russian prose garbled here along every display path: the text's bytes in a
                     source code page (utf8, cp1251, cp866, koi8r, iso8859-5, mac_cyrillic) read
                     in a display code page (cp1252, latin-1, cp437, cp850, cp1251, cp866, koi8r,
                     iso8859-5, mac_cyrillic); a pair is left out for a text whose garbling is not
                     reversible (a character the source page lacks). Windows' own readings: 1251
                     reads byte 0x98 as U+0098, 1252 reads 0x81, 0x8D, 0x8F, 0x90, 0x9D as
                     U+0081... (Python's codecs leave them undefined). Then layerings (UTF-8 read
                     as 1251 twice and three times, as 1252 twice, KOI8-R read as 1251 then that
                     UTF-8 read as 1251), and mixed texts built from them: a right line then a
                     garbled one, a C line with a garbled comment, an SQL line with a garbled
                     value and comment, a log with every other line garbled, and a text whose
                     bytes mix UTF-8 lines and cp1251 lines (fed as raw bytes). Expected: the
                     whole text right, as UTF-8.
  right_texts.tsv    texts right already (14 languages): they must come out unchanged.
  wild.tsv           garbled Russian found in public repositories and issues, with its right text.

Reports, per path and length class (Russian letters of the right text: 1-4, 5-19, 20-99, 100+):
how many items, restored exactly, left as given (output equals input), made worse (anything
else) and how many of those exited 0; for the right texts how many changed per language; for
wild.tsv the same counts as for the paths. The selection is deterministic.

Usage: bench/text_accuracy.py TAVRIK_CLI [--limit N] [--right-limit N] [--jobs N]
                              [--only SUBSTRING] [--show-worse N] [--totals-only]
  --limit N        at most N texts for each path and length class (default 4; 0: all)
  --right-limit N  at most N right texts for each language (default 30; 0: all)
  --jobs N         runs at once (default 2)
  --only S         only the paths whose name contains S; "right" runs only the right texts,
                   "wild" only wild.tsv
  --show-worse N   print up to N of the items made worse, for each part
  --totals-only    leave out each path's counts per length class
"""
import argparse
import collections
import hashlib
import concurrent.futures
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CORPORA = os.path.join(HERE, "corpora")

SOURCES = ["utf8", "cp1251", "cp866", "koi8r", "iso8859-5", "mac_cyrillic"]
DISPLAYS = ["cp1252", "latin-1", "cp437", "cp850", "cp1251", "cp866", "koi8r", "iso8859-5",
            "mac_cyrillic"]
PYTHON_CODEC = {"utf8": "utf-8", "cp1251": "cp1251", "cp866": "cp866", "koi8r": "koi8_r",
                "iso8859-5": "iso8859_5", "mac_cyrillic": "mac_cyrillic", "cp1252": "cp1252",
                "latin-1": "latin-1", "cp437": "cp437", "cp850": "cp850"}
# Bytes Windows' code pages read as the C1 control of the same number, which Python's leave
# undefined.
WINDOWS_EXTRA = {"cp1251": {0x98}, "cp1252": {0x81, 0x8D, 0x8F, 0x90, 0x9D}}
CLASSES = ["1-4", "5-19", "20-99", "100+"]


def decode(data, page):
    """`data` read in code page `page` as Windows reads it; None when a byte is undefined."""
    extra = WINDOWS_EXTRA.get(page, set())
    if not extra:
        try:
            return data.decode(PYTHON_CODEC[page])
        except UnicodeDecodeError:
            return None
    out = []
    codec = PYTHON_CODEC[page]
    for b in data:
        if b in extra:
            out.append(chr(b))
        else:
            try:
                out.append(bytes([b]).decode(codec))
            except UnicodeDecodeError:
                return None
    return "".join(out)


def encode(text, page):
    """`text` in code page `page` as Windows writes it; None when a character has no place."""
    extra = WINDOWS_EXTRA.get(page, set())
    out = bytearray()
    codec = PYTHON_CODEC[page]
    if not extra:
        try:
            return text.encode(codec)
        except UnicodeEncodeError:
            return None
    for c in text:
        if ord(c) in extra:
            out.append(ord(c))
        else:
            try:
                out += c.encode(codec)
            except UnicodeEncodeError:
                return None
    return bytes(out)


def garble(text, source, display):
    """`text` written in `source` and read in `display`; None when that loses a character or
    when reading it back in `display` and writing in `source` does not give `text` again."""
    data = encode(text, source)
    if data is None:
        return None
    shown = decode(data, display)
    if shown is None or shown == text or encode(shown, display) != data:
        return None
    if decode(encode(shown, display), source) != text:
        return None
    return shown


def chain(text, *steps):
    for source, display in steps:
        text = garble(text, source, display)
        if text is None:
            return None
    return text


def letters(text):
    return sum(1 for c in text if "\u0410" <= c <= "\u044f" or c in "Ёё")


def length_class(text):
    n = letters(text)
    return "1-4" if n < 5 else "5-19" if n < 20 else "20-99" if n < 100 else "100+"


# --- items: (part, path, garbled bytes, expected bytes, right text for the class) ------------

def display_paths():
    paths = []
    for source in SOURCES:
        for display in DISPLAYS:
            if source != display:
                paths.append((f"{source} as {display}", ((source, display),)))
    u1251, u1252 = ("utf8", "cp1251"), ("utf8", "cp1252")
    paths += [
        ("utf8 as cp1251 twice", (u1251, u1251)),
        ("utf8 as cp1251 three times", (u1251, u1251, u1251)),
        ("utf8 as cp1252 twice", (u1252, u1252)),
        ("koi8r as cp1251, utf8 as cp1251", (("koi8r", "cp1251"), u1251)),
    ]
    return paths


def mixed_builders():
    """Mixed texts: name -> function(text, other text) -> (garbled bytes, right text) or None."""

    def right_then_garbled(step):
        def build(text, other):
            g = chain(text, step)
            return None if g is None else ((other + "\n" + g).encode(), other + "\n" + text)
        return build

    def c_comment(text, other):
        g = chain(text, ("utf8", "cp1251"))
        line = 'printf("Привет мир!\\n"); // выведет "{}"'
        return None if g is None else (line.format(g).encode(), line.format(text))

    def sql(text, other):
        g, h = chain(text, ("utf8", "cp1252")), chain(other, ("utf8", "cp1252"))
        line = "INSERT INTO t VALUES ('{}'); -- {}"
        if g is None or h is None:
            return None
        return line.format(g, h).encode(), line.format(text, other)

    def log(text, other):
        words = (text + " " + other).split()
        lines = [" ".join(words[i:i + 4]) for i in range(0, len(words), 4)][:6]
        if len(lines) < 2:
            lines = [text, other]
        garbled, right = [], []
        for i, line in enumerate(lines):
            stamp = f"2024-03-1{i} 12:0{i}:3{i} INFO "
            g = chain(line, ("utf8", "cp1251")) if i % 2 else line
            if g is None:
                return None
            garbled.append(stamp + g)
            right.append(stamp + line)
        return "\n".join(garbled).encode(), "\n".join(right)

    def byte_mix(text, other):
        data = encode(other, "cp1251")
        if data is None or not any(ord(c) > 127 for c in other):
            return None
        return text.encode() + b"\n" + data, text + "\n" + other

    return [
        ("mixed: Russian line, then utf8 as cp1251 line", right_then_garbled(("utf8", "cp1251"))),
        ("mixed: Russian line, then utf8 as cp1252 line", right_then_garbled(("utf8", "cp1252"))),
        ("mixed: C line, comment utf8 as cp1251", c_comment),
        ("mixed: SQL value and comment utf8 as cp1252", sql),
        ("mixed: log, every other line utf8 as cp1251", log),
        ("mixed bytes: utf8 line, cp1251 line", byte_mix),
    ]


def path_order(name, texts):
    """The texts in an order of their own for each path (deterministic), so that a
    sample (--limit) draws different texts for different paths."""
    return sorted(texts, key=lambda t: hashlib.md5((name + "\t" + t).encode()).hexdigest())


def path_items(texts, limit, only):
    items = []
    for name, steps in display_paths():
        if only and only not in name:
            continue
        taken = collections.Counter()
        for text in path_order(name, texts):
            cls = length_class(text)
            if limit and taken[cls] >= limit:
                continue
            g = chain(text, *steps)
            if g is None:
                continue
            taken[cls] += 1
            items.append(("paths", name, cls, g.encode(), text.encode()))
    for name, build in mixed_builders():
        if only and only not in name:
            continue
        taken = collections.Counter()
        ordered = path_order(name, texts)
        for i, text in enumerate(ordered):
            other = ordered[(i * 7 + 3) % len(ordered)]
            cls = length_class(text)
            if limit and taken[cls] >= limit:
                continue
            built = build(text, other)
            if built is None:
                continue
            taken[cls] += 1
            items.append(("paths", name, cls, built[0], built[1].encode()))
    return items


def right_items(limit):
    taken = collections.Counter()
    items = []
    with open(os.path.join(CORPORA, "right_texts.tsv"), encoding="utf-8") as f:
        for line in f:
            language, text = line.rstrip("\n").split("\t", 1)
            if limit and taken[language] >= limit:
                continue
            taken[language] += 1
            items.append(("right", language, length_class(text), text.encode(), text.encode()))
    return items


def wild_items():
    items = []
    with open(os.path.join(CORPORA, "wild.tsv"), encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 4:
                sys.exit(f"wild.tsv:{number}: expected path, garbled, right, source")
            path, garbled, right, _ = fields
            garbled = garbled.replace("\\n", "\n")
            right = right.replace("\\n", "\n")
            items.append(("wild", path, length_class(right), garbled.encode(), right.encode()))
    return items


# --- running ---------------------------------------------------------------------------------

def run(cli, item):
    env = dict(os.environ, TAVRIK_ACP="1251", TAVRIK_OEMCP="866")
    result = subprocess.run([cli, "fix", "-"], input=item[3], capture_output=True, env=env,
                            timeout=60)
    out = result.stdout
    if out == item[4]:
        verdict = "restored"
    elif out == item[3]:
        verdict = "left"
    else:
        verdict = "worse"
    return verdict, result.returncode, out


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("cli", help="path of the built tavrik-cli")
    parser.add_argument("--limit", type=int, default=4,
                        help="at most N texts for each path and length class (0: all)")
    parser.add_argument("--right-limit", type=int, default=30,
                        help="at most N right texts for each language (0: all)")
    parser.add_argument("--jobs", type=int, default=2, help="runs at once")
    parser.add_argument("--only", default="",
                        help='only paths whose name contains S; "right" or "wild": only that part')
    parser.add_argument("--show-worse", type=int, default=0,
                        help="print up to N items made worse, for each part")
    parser.add_argument("--totals-only", action="store_true",
                        help="leave out each path's counts per length class")
    args = parser.parse_args()

    with open(os.path.join(CORPORA, "russian_texts.txt"), encoding="utf-8") as f:
        texts = [line.rstrip("\n") for line in f if line.strip()]
    items = [] if args.only in ("right", "wild") else path_items(texts, args.limit, args.only)
    if not args.only or args.only == "right":
        items += right_items(args.right_limit)
    if not args.only or args.only == "wild":
        items += wild_items()

    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        results = list(pool.map(lambda item: run(args.cli, item), items))

    # (part, path, class) -> Counter
    table = collections.defaultdict(collections.Counter)
    worse_examples = collections.defaultdict(list)
    for item, (verdict, code, out) in zip(items, results):
        part, path, cls = item[:3]
        for key in ((part, path, cls), (part, path, "all"), (part, "total", cls),
                    (part, "total", "all")):
            c = table[key]
            c["count"] += 1
            c[verdict] += 1
            if verdict == "worse" and code == 0:
                c["worse exit 0"] += 1
        if verdict == "worse":
            worse_examples[part].append((path, item[3], out))

    def cell(c):
        """restored/left/worse(worse with exit 0) of count, or '-' without items."""
        if not c["count"]:
            return "-"
        return f"{c['restored']}/{c['left']}/{c['worse']}({c['worse exit 0']}) of {c['count']}"

    def row(label, part, path):
        c = table[(part, path, "all")]
        line = (f"{label:44s} {c['count']:5d} {c['restored']:5d} {c['left']:5d} "
                f"{c['worse']:5d} {c['worse exit 0']:5d}")
        if not args.totals_only:
            line += "  " + "  ".join(f"{cell(table[(part, path, cls)]):>18s}" for cls in CLASSES)
        return line

    header = f"{'':44s} {'count':>5s} {'right':>5s} {'left':>5s} {'worse':>5s} {'w/0':>5s}"
    if not args.totals_only:
        header += "  " + "  ".join(f"{cls + ' letters':>18s}" for cls in CLASSES)
    for part, title in (("paths", "Russian texts garbled along each path"),
                        ("wild", "Garbled Russian found in the wild (wild.tsv)")):
        paths = sorted({k[1] for k in table if k[0] == part and k[1] != "total"},
                       key=lambda p: (p.startswith("mixed"), p))
        if not paths:
            continue
        print(f"{title}: right = restored exactly, left = output equals input, worse = "
              f"anything else, w/0 = worse with exit status 0"
              + ("; per length class right/left/worse(w/0) of count" if not args.totals_only else ""))
        print(header)
        for path in paths:
            print(row(path, part, path))
        print(row("TOTAL", part, "total"))
        for cls in CLASSES:
            c = table[(part, "total", cls)]
            if c["count"]:
                print(f"{'    ' + cls + ' letters':44s} {c['count']:5d} {c['restored']:5d} "
                      f"{c['left']:5d} {c['worse']:5d} {c['worse exit 0']:5d}")
        print()

    languages = [k[1] for k in table if k[0] == "right" and k[2] == "all" and k[1] != "total"]
    if languages:
        print("Texts right already (right_texts.tsv): changed / count (must be 0)")
        print("  " + "  ".join(f"{lang} {table[('right', lang, 'all')]['worse']}/"
                               f"{table[('right', lang, 'all')]['count']}"
                               for lang in languages))
        total = table[("right", "total", "all")]
        print(f"  total changed {total['worse']}/{total['count']}")
        print()

    for part in ("paths", "right", "wild"):
        for path, given, out in worse_examples[part][: args.show_worse]:
            print(f"[{part}] {path}\n  in:  {given.decode('utf-8', 'backslashreplace')[:160]!r}"
                  f"\n  out: {out.decode('utf-8', 'backslashreplace')[:160]!r}")


if __name__ == "__main__":
    main()
