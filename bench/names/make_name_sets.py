#!/usr/bin/env python3
"""Writes russian_names.txt: short Russian texts as people name files and folders, taken from the
Russian translations of programs (their gettext catalogues), which the language model never saw
(it is computed from fortunes-ru and manpages-ru). Menu items, labels and titles of one to four
words, cleaned of accelerator marks, placeholders and trailing punctuation, as a file or folder
would be called. And english_names.txt: the names of the files and folders the same packages
install, wherever they install them (real names, mostly English), but for translations and manual
pages (every language's catalogue of a program has the same name).

Only the packages named in PACKAGES are read (exactly the files dpkg lists for them), so the sets
do not depend on what else is installed; each must be installed (a missing one stops the script).
Run on Debian 12 with Debian's python3; the output is checked in beside this script:
  /usr/bin/python3 bench/names/make_name_sets.py
"""
import gettext
import os
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


names = set()
for package in PACKAGES:
    for path in package_files(package, "/usr/share/locale/ru/LC_MESSAGES", suffixes=(".mo",)):
        with open(path, "rb") as f:
            catalog = gettext.GNUTranslations(f)._catalog
        for key, text in catalog.items():
            if not key or not isinstance(text, str):
                continue
            text = text.replace("_", "").replace("&", "").strip()
            text = re.sub(r"[.:…!?]+$", "", text).strip()
            if any(c in text for c in "%\n\\/{$"):
                continue
            text = " ".join(text.split()).strip("() ,-—")
            words = text.split()
            if not 1 <= len(words) <= 4 or len(text) > 40:
                continue
            if not re.search("[а-яё]", text):
                continue
            # Only what a file name holds: Cyrillic, Latin, digits, space and a little punctuation.
            if not re.fullmatch(r"[А-Яа-яЁёA-Za-z0-9 ,()\-«»—№]+", text):
                continue
            names.add(text)
with open(os.path.join(here, "russian_names.txt"), "w", encoding="utf-8") as out:
    for name in sorted(names):
        out.write(name + "\n")
print(len(names), "Russian names", file=sys.stderr)

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
