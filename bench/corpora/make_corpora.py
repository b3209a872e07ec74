#!/usr/bin/env python3
"""Writes the text corpora of the black-box accuracy harness (bench/text_accuracy.py):

russian_texts.txt  real Russian prose, one text a line: sentences and short paragraphs (up to
                   400 characters), clauses of two to four words, titles and single words. From
                   the Russian documentation of Debian (the HTML of debian-faq-ru,
                   developers-reference-ru, maint-guide-ru and aptitude-doc-ru), which none of
                   our model, lexicon or other benchmarks read (they use fortunes-ru,
                   manpages-ru, hunspell-ru and the Russian gettext catalogues). Markup, program
                   listings and lines that are mostly not Russian are left out.
right_texts.tsv    texts that are already right and must be left as they are,
                   `language<TAB>text`: translated messages of the gettext catalogues (.mo) of
                   the packages in CATALOGUE_PACKAGES in fourteen languages, and their English
                   originals (the msgids).

Only the packages named here are read (exactly the files dpkg lists for them, through
scripts/debian_package_files.py), so the output depends on nothing else installed; a missing
package stops the script. The selection is deterministic (ordered by an MD5 of each text).
Run on Debian 12 with Debian's python3; the output is checked in beside this script:
  apt-get install debian-faq-ru developers-reference-ru maint-guide-ru aptitude-doc-ru \
      coreutils findutils grep sed tar bash wget gettext apt dpkg libc-l10n iso-codes
  /usr/bin/python3 bench/corpora/make_corpora.py
"""
import gettext
import hashlib
import html.parser
import os
import re
import sys

sys.dont_write_bytecode = True  # nothing left beside the sources
here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "scripts"))
from debian_package_files import package_files  # noqa: E402

# Russian documentation: package, folder of its HTML pages.
DOC_PACKAGES = [
    ("debian-faq-ru", "/usr/share/doc/debian/FAQ/ru"),
    ("developers-reference-ru", "/usr/share/developers-reference/ru"),
    ("maint-guide-ru", "/usr/share/doc/maint-guide-ru/html"),
    ("aptitude-doc-ru", "/usr/share/doc/aptitude/html/ru"),
]

# How many texts of each kind russian_texts.txt takes.
QUOTA = {"word": 300, "phrase": 700, "sentence": 1000}

# Packages whose gettext catalogues give the texts that are right already.
CATALOGUE_PACKAGES = """
apt bash coreutils dpkg findutils gettext grep iso-codes libc-l10n sed tar wget
""".split()

# Language of right_texts.tsv -> its folder under /usr/share/locale ("en": the msgids).
LANGUAGES = {
    "fr": "fr", "de": "de", "es": "es", "pt": "pt", "it": "it", "pl": "pl", "cs": "cs",
    "tr": "tr", "uk": "uk", "be": "be", "bg": "bg", "sr": "sr", "ru": "ru", "en": None,
}
CYRILLIC_LANGUAGES = {"uk", "be", "bg", "sr", "ru"}
PER_LANGUAGE = 100


def digest(text):
    return hashlib.md5(text.encode("utf-8")).hexdigest()


# --- Russian prose --------------------------------------------------------------------------

BLOCKS = {"p", "li", "dt", "dd", "td", "th", "h1", "h2", "h3", "h4", "h5", "h6", "title",
          "div", "blockquote", "caption", "figcaption", "br", "tr", "table", "ul", "ol", "dl"}
HEADINGS = {"h1", "h2", "h3", "h4", "h5", "h6", "title", "dt", "th", "caption"}
SKIPPED = {"pre", "script", "style", "head"}


class Paragraphs(html.parser.HTMLParser):
    """The running text of an HTML page, a block at a time: (is_heading, text)."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.blocks = []
        self.parts = []
        self.skip = 0
        self.heading = 0

    def flush(self):
        text = " ".join("".join(self.parts).split())
        if text:
            self.blocks.append((self.heading > 0, text))
        self.parts = []

    def handle_starttag(self, tag, attrs):
        if tag in SKIPPED:
            self.skip += 1
        elif tag in BLOCKS:
            self.flush()
            self.heading += tag in HEADINGS

    def handle_endtag(self, tag):
        if tag in SKIPPED:
            self.skip = max(0, self.skip - 1)
        elif tag in BLOCKS:
            self.flush()
            if tag in HEADINGS:
                self.heading = max(0, self.heading - 1)

    def handle_data(self, data):
        if not self.skip:
            self.parts.append(data)


CYRILLIC = re.compile(r"[А-Яа-яЁё]")
LETTER = re.compile(r"[^\W\d_]")
WORD = re.compile(r"[А-Яа-яЁё]+(?:-[А-Яа-яЁё]+)*")
NUMBERING = re.compile(r"^(?:(?:Глава|Приложение|Раздел)\s+)?(?:\d+|[A-Z])(?:\.\d+)*\.\s+")
FOOTNOTE = re.compile(r"\s*\[\d+\]|¶")
SENTENCE_END = re.compile(r"(?<=[.!?…])\s+(?=[«\"(]?[А-ЯЁA-Z0-9])")


def mostly_russian(text):
    letters = LETTER.findall(text)
    cyrillic = CYRILLIC.findall(text)
    return len(cyrillic) >= 1 and len(cyrillic) >= 0.75 * len(letters)


def russian_words(text):
    return len(WORD.findall(text))


def sentences(paragraph):
    """A paragraph cut at the ends of its sentences, then joined again while a piece stays
    within 400 characters (short paragraphs stay whole)."""
    if len(paragraph) <= 400:
        return [paragraph]
    out = []
    for piece in SENTENCE_END.split(paragraph):
        if out and len(out[-1]) + 1 + len(piece) <= 160:
            out[-1] += " " + piece
        else:
            out.append(piece)
    return [piece for piece in out if len(piece) <= 400]


def russian_texts():
    words, phrases, long_texts = set(), set(), set()
    for package, folder in DOC_PACKAGES:
        for path in package_files(package, folder, suffixes=(".html",)):
            parser = Paragraphs()
            with open(path, encoding="utf-8") as f:
                parser.feed(f.read())
            parser.close()
            parser.flush()
            for _, block in parser.blocks:
                block = NUMBERING.sub("", FOOTNOTE.sub("", block)).strip()
                for text in sentences(block):
                    text = text.strip()
                    if not text or not mostly_russian(text):
                        continue
                    count = russian_words(text)
                    if count >= 5:
                        long_texts.add(text)
                    elif count >= 2 and len(text) <= 60:
                        phrases.add(text.rstrip(".:;,"))
                    elif count == 1 and len(text) <= 30:
                        words.add(text.rstrip(".:;,"))
                    # clauses of running text: the pieces between commas and the like
                    if count >= 5:
                        for clause in re.split(r"[,;:()«»\"—]+", text):
                            clause = clause.strip(" .!?-")
                            if 2 <= russian_words(clause) <= 4 and mostly_russian(clause):
                                if re.fullmatch(r"[А-Яа-яЁё -]+", clause):
                                    phrases.add(clause)
                        for word in WORD.findall(text):
                            if len(word) >= 3:
                                words.add(word.lower())
    chosen = []
    for kind, pool in (("word", words), ("phrase", phrases), ("sentence", long_texts)):
        chosen += sorted(pool, key=digest)[: QUOTA[kind]]
    return sorted(set(chosen), key=digest)


# --- texts that are right already -----------------------------------------------------------

def usable(text):
    return (3 <= len(text) <= 120 and "\t" not in text and "\n" not in text
            and not any(ord(c) < 32 or 0x7F <= ord(c) < 0xA0 for c in text)
            and LETTER.search(text))


def right_texts():
    catalogues = {}  # language -> {text}
    for language, folder in LANGUAGES.items():
        found = set()
        under = f"/usr/share/locale/{folder or 'ru'}/LC_MESSAGES"
        for package in CATALOGUE_PACKAGES:
            for path in package_files(package, under, suffixes=(".mo",), required=False):
                with open(path, "rb") as f:
                    catalogue = gettext.GNUTranslations(f)._catalog
                for msgid, msgstr in catalogue.items():
                    if isinstance(msgid, tuple):  # plural forms: the first
                        if msgid[1] != 0:
                            continue
                        msgid = msgid[0]
                    if not msgid or not msgstr:
                        continue
                    msgid = msgid.split("\x00")[0].split("\x04")[-1]  # context, plurals
                    msgstr = msgstr.split("\x00")[0]
                    text = (msgid if language == "en" else msgstr).strip()
                    if usable(text) and (language == "en" or msgstr.strip() != msgid.strip()):
                        found.add(text)
        catalogues[language] = found
    rows = []
    for language, found in catalogues.items():
        if language in CYRILLIC_LANGUAGES:
            pool = [t for t in found if CYRILLIC.search(t)]
            preferred = pool
        else:
            pool = list(found)
            preferred = [t for t in pool if any(ord(c) > 127 and c.isalpha() for c in t)]
        # English: half with letters beyond ASCII (names of places and languages), half without
        wanted = PER_LANGUAGE // 2 if language == "en" else PER_LANGUAGE
        picked = sorted(preferred, key=digest)[:wanted]
        if len(picked) < PER_LANGUAGE:  # English: few have letters beyond ASCII
            rest = [t for t in sorted(pool, key=digest) if t not in set(picked)]
            picked += rest[: PER_LANGUAGE - len(picked)]
        rows += [(language, text) for text in sorted(picked, key=digest)]
    return rows


def main():
    texts = russian_texts()
    with open(os.path.join(here, "russian_texts.txt"), "w", encoding="utf-8") as f:
        for text in texts:
            f.write(text + "\n")
    rows = right_texts()
    with open(os.path.join(here, "right_texts.tsv"), "w", encoding="utf-8") as f:
        for language, text in rows:
            f.write(f"{language}\t{text}\n")
    print(f"russian_texts.txt: {len(texts)} texts; right_texts.tsv: {len(rows)} texts",
          file=sys.stderr)


if __name__ == "__main__":
    main()
