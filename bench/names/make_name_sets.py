#!/usr/bin/env python3
"""Writes the name sets of tavrik_name_accuracy, all real or right names:

russian_names.txt: short Russian texts as people name files and folders, taken from the Russian
translations of programs (their gettext catalogues), which the language model never saw (it is
computed from fortunes-ru and manpages-ru). Menu items, labels and titles of one to four words,
cleaned of accelerator marks, placeholders and trailing punctuation, as a file or folder would be
called.

ukrainian_names.txt, belarusian_names.txt, bulgarian_names.txt, serbian_names.txt: the same from
the catalogues of those languages. The model is Russian; their right names must stay all the same.

punctuated_names.txt: right names as Word and Windows make them, with dashes, guillemets and «№»
(«список дел — март.txt», «акт №12 — март.pdf»), put together from the Russian names and those
of the other languages, in their case, lower case and capitalised. A dash, a guillemet or «№»
becomes a letter when the name is read in the other code page, so these names test whether a
rule takes a right name for garbled because its reading gained a Cyrillic letter.

accented_names.txt: right names in Latin letters with accents, the names a garbled-name rule
must not read as Russian in a Cyrillic code page: texts of the same catalogues in French,
German, Spanish, Portuguese, Swedish, Polish, Czech and Turkish that hold a letter outside ASCII,
and the few every such rule is first tried on («Café.txt», «Ångström.pdf», «naïve», «Straße»).

english_names.txt: the names of the files and folders the same packages install, wherever they
install them (real names, mostly English), but for translations and manual pages (every
language's catalogue of a program has the same name).

Only the packages named in PACKAGES are read (exactly the files dpkg lists for them), so the sets
do not depend on what else is installed; each must be installed (a missing one stops the script).
Run on Debian 12 with Debian's python3; the output is checked in beside this script:
  /usr/bin/python3 bench/names/make_name_sets.py
"""
import gettext
import os
import random
import re
import sys

sys.dont_write_bytecode = True  # nothing left beside the sources
here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "scripts"))
from debian_package_files import package_files  # noqa: E402

# Packages of a Debian 12 system with Russian catalogues, from the base system up to a few
# libraries of the desktop.
PACKAGES = """
adduser appstream apt at-spi2-common bash binutils-common coreutils diffutils dpkg findutils
gettext gettext-base git gnupg-l10n grep gsettings-desktop-schemas iso-codes libapt-pkg6.0
libavahi-common-data libc-l10n libdpkg-perl libexif12 libgdk-pixbuf2.0-common libglib2.0-data
libgphoto2-port12 libgstreamer-plugins-base1.0-0 libgstreamer1.0-0 libgtk2.0-common libidn2-0
libpam-runtime libpq5 login make man-db packagekit postgresql-15 postgresql-client-15 psmisc
python-apt-common sed shared-mime-info software-properties-common systemd tar wget
xdg-user-dirs xkb-data
""".split()


def catalogue_names(language, letters):
    """Texts of one to four words from the catalogues of `language` that hold a small letter of
    `letters` and nothing a file name would not."""
    names = set()
    paths = []
    for package in PACKAGES:
        paths += package_files(package, '/usr/share/locale/%s/LC_MESSAGES' % language,
                               suffixes=('.mo',), required=False)
    for path in sorted(paths):
        with open(path, 'rb') as f:
            catalog = gettext.GNUTranslations(f)._catalog
        for key, text in catalog.items():
            if not key or not isinstance(text, str):
                continue
            text = text.replace('_', '').replace('&', '').strip()
            text = re.sub(r'[.:…!?]+$', '', text).strip()
            if '%' in text or '\n' in text or '\\' in text or '/' in text or '{' in text or '$' in text:
                continue
            text = ' '.join(text.split()).strip('() ,-—')
            words = text.split()
            if not 1 <= len(words) <= 4 or len(text) > 40:
                continue
            if not re.search('[%s]' % letters.lower(), text):
                continue
            # Only what a file name holds: letters, digits, space and a little punctuation.
            if not re.fullmatch(r'[%sA-Za-z0-9 ,()\-«»—№\'’]+' % letters, text):
                continue
            names.add(text)
    return sorted(names)


def write(file_name, names):
    with open(os.path.join(here, file_name), 'w', encoding='utf-8') as out:
        for name in names:
            out.write(name + '\n')
    print(len(names), file_name, file=sys.stderr)


RUSSIAN = 'А-Яа-яЁё'
russian = catalogue_names('ru', RUSSIAN)
# No apostrophe in a Russian name: kept as it always was.
write('russian_names.txt', [name for name in russian if "'" not in name and '’' not in name])
others = {
    'ukrainian_names.txt': ('uk', 'А-ЩЬЮЯа-щьюяЄєІіЇїҐґ'),
    'belarusian_names.txt': ('be', 'А-ЗЙ-ШЫЬЭЮЯа-зй-шыьэюяЁёІіЎў'),
    'bulgarian_names.txt': ('bg', 'А-ЪЬЮЯа-ъьюя'),
    'serbian_names.txt': ('sr', 'А-ИК-ШабвгдежзиклмнопрстуфхцчшЂђЈјЉљЊњЋћЏџ'),
}
# At most this many of each, a sample drawn the same way every run: enough to count on.
OTHER_NAMES = 5000
other_names = []
for file_name, (language, letters) in others.items():
    names = catalogue_names(language, letters)
    if len(names) > OTHER_NAMES:
        names = sorted(random.Random(language).sample(names, OTHER_NAMES))
    write(file_name, names)
    other_names.append(names)

# Right names with dashes, guillemets and «№», made the same way every run.
maker = random.Random(20)
with open(os.path.join(here, 'typical_names.txt'), encoding='utf-8') as f:
    typical = [line.strip() for line in f if line.strip()]
EXTENSIONS = ['', '', '.txt', '.docx', '.pdf', '.xlsx', '.jpg', '.doc']
PATTERNS = ['{a} — {b}', '{a} – {b}', '{a} «{b}»', '«{a}»', '«{a}» — {b}', '{a} №{n}',
            '{a} № {n}', '№{n} {a}', '{a} №{n} — {b}', '{a} – «{b}»', '{a} — {n}', '{n} — {a}']


def shaped(text):
    way = maker.randrange(3)
    if way == 1:
        return text.lower()
    if way == 2:
        return text[:1].upper() + text[1:].lower()
    return text


def punctuated(sources, count):
    made = set()
    while len(made) < count:
        names = maker.choice(sources)
        a, b = shaped(maker.choice(names)), shaped(maker.choice(names))
        name = maker.choice(PATTERNS).format(a=a, b=b, n=maker.randrange(1, 200))
        if '.' not in name:
            name += maker.choice(EXTENSIONS)
        if len(name) <= 60:
            made.add(name)
    return sorted(made)


write('punctuated_names.txt',
      punctuated([russian, typical], 3000) + punctuated(other_names, 1000))

english = set()
for package in PACKAGES:
    for path in package_files(package):
        if path.startswith(("/usr/share/locale/", "/usr/share/man/")):
            continue
        english.update(part for part in path.split("/") if part)
with open(os.path.join(here, "english_names.txt"), "w", encoding="utf-8") as out:
    for name in sorted(english):
        out.write(name + "\n")
print(len(english), "English names", file=sys.stderr)

ACCENTED = ['Café.txt', 'Ångström.pdf', 'naïve', 'Straße', 'Crème brûlée.doc', 'Zürich 2020',
            'Ærø.jpg', 'Ñandú.mp3', 'Citroën.pdf', 'Málaga', 'São Paulo', 'Łódź.jpg',
            'Dvořák.mp3', 'Motörhead', 'Björk - Jóga.mp3', 'résumé.docx', 'Français',
            'Übersicht.xlsx', 'Fußball', 'façade.png']
accented = set(ACCENTED)
for language in ['fr', 'de', 'es', 'pt', 'sv', 'pl', 'cs', 'tr']:
    names = [name for name in catalogue_names(language, 'À-ÿĀ-ſ')
             if re.search('[^\x00-\x7f]', name)]
    if len(names) > 1000:
        names = sorted(random.Random(language).sample(names, 1000))
    accented.update(names)
write('accented_names.txt', sorted(accented))
