#!/usr/bin/env python3
"""Writes english_names.txt: the names of files and folders under /usr/share/doc and
/usr/share/applications (real names, mostly English). And russian_names.txt: short Russian texts as people name files and folders, taken from the
Russian translations of programs (the gettext catalogues under /usr/share/locale/ru), which the
language model never saw (it is computed from fortunes-ru and manpages-ru). Menu items, labels
and titles of one to four words, cleaned of accelerator marks, placeholders and trailing
punctuation, as a file or folder would be called. Run on Debian 12 with the packages that ship
those catalogues; the output is checked in beside this script.
"""
import gettext, glob, os, re, sys

here = os.path.dirname(os.path.abspath(__file__))
names = set()
for path in sorted(glob.glob('/usr/share/locale/ru/LC_MESSAGES/*.mo')):
    try:
        with open(path, 'rb') as f:
            catalog = gettext.GNUTranslations(f)._catalog
    except Exception:
        continue
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
        if not re.search('[а-яё]', text):
            continue
        # Only what a file name holds: Cyrillic, Latin, digits, space and a little punctuation.
        if not re.fullmatch(r'[А-Яа-яЁёA-Za-z0-9 ,()\-«»—№]+', text):
            continue
        names.add(text)
with open(os.path.join(here, 'russian_names.txt'), 'w', encoding='utf-8') as out:
    for name in sorted(names):
        out.write(name + '\n')
print(len(names), 'Russian names', file=sys.stderr)

english = set()
for root in ('/usr/share/doc', '/usr/share/applications', '/usr/share/icons/hicolor'):
    for folder, dirs, files in os.walk(root):
        if folder.count(os.sep) - root.count(os.sep) > 2:
            continue
        english.update(dirs)
        english.update(files)
with open(os.path.join(here, 'english_names.txt'), 'w', encoding='utf-8') as out:
    for name in sorted(english):
        out.write(name + '\n')
print(len(english), 'English names', file=sys.stderr)
