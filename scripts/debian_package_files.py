"""The files of a Debian package, for the generators of our tables and benchmark sets.

A generator that globbed a folder such as /usr/share/man/ru would read whatever else happens to
be installed there, and its output would change from machine to machine. Each generator names
its packages instead and reads exactly the regular files that dpkg says those packages installed
(symbolic links are left out: they point at files read anyway, or at other packages' files).
A package that is not installed stops the generator with a message naming it.
"""

import os
import subprocess
import sys


def installed_version(package):
    """The installed version of `package`; stops the generator when it is not installed."""
    result = subprocess.run(
        ["dpkg-query", "-W", "-f=${Status}\t${Version}", package],
        capture_output=True,
        text=True,
    )
    status, _, version = result.stdout.partition("\t")
    if result.returncode != 0 or not status.endswith(" installed"):
        sys.exit(
            f"{sys.argv[0]}: the Debian package {package} is not installed "
            f"(apt-get install {package}, or scripts/setup-debian.sh generators)"
        )
    return version


def package_files(package, under="/", suffixes=None, exclude_suffixes=(), required=True):
    """The regular files `package` installed below `under`, sorted; optionally only those
    ending in one of `suffixes`, and never those ending in one of `exclude_suffixes`. None at
    all stops the generator, unless not `required`."""
    installed_version(package)
    listed = subprocess.run(
        ["dpkg-query", "-L", package], capture_output=True, text=True, check=True
    ).stdout.splitlines()
    prefix = under.rstrip("/") + "/"
    files = []
    for path in listed:
        if not path.startswith(prefix) or os.path.islink(path) or not os.path.isfile(path):
            continue
        if suffixes is not None and not path.endswith(tuple(suffixes)):
            continue
        if exclude_suffixes and path.endswith(tuple(exclude_suffixes)):
            continue
        files.append(path)
    if not files and required:
        sys.exit(f"{sys.argv[0]}: the Debian package {package} has no files under {under}")
    return sorted(files)


def stdlib_package_of(module):
    """The Debian package that installed a standard library module's file: the generators that
    read Python's codecs must run on Debian's own python3, whose tables we name and cite."""
    result = subprocess.run(["dpkg-query", "-S", module.__file__], capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(
            f"{sys.argv[0]}: {module.__file__} belongs to no Debian package: run this "
            f"generator with Debian's /usr/bin/python3"
        )
    return result.stdout.split(":")[0]
