#!/usr/bin/python3
"""Every relative link in the project's Markdown files points at a file that exists and, where
it names a heading (#anchor), at a heading of that file: a moved or renamed note breaks CI, not
a reader's click. Links to other sites are not followed (CI may have no network).
    scripts/check-links.py          exit 1 and a line per broken link
"""
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
# [text](target) and ![alt](target), the target up to a space or the closing parenthesis.
LINK = re.compile(r"!?\[[^\]]*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
FENCE = re.compile(r"^\s*(```|~~~)")


def markdown_files():
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "*.md"], cwd=ROOT,
                            capture_output=True, text=True, check=True).stdout.split("\n")
    return [ROOT / name for name in listed if name and (ROOT / name).is_file()]


def prose_lines(path):
    """The lines outside fenced code blocks, with inline code taken out."""
    fenced = False
    for number, line in enumerate(path.read_text(encoding="utf-8").split("\n"), 1):
        if FENCE.match(line):
            fenced = not fenced
            continue
        if not fenced:
            yield number, re.sub(r"`[^`]*`", "", line)


def slug(heading):
    """The anchor a heading gets on the usual Markdown hosts: lower case, spaces to dashes,
    punctuation dropped."""
    text = re.sub(r"[^\w\- ]", "", heading.strip().lower())
    return text.replace(" ", "-")


def anchors(path):
    return {slug(line.lstrip("#")) for _, line in prose_lines(path) if line.startswith("#")}


def broken_links():
    for path in markdown_files():
        for number, line in prose_lines(path):
            for target in LINK.findall(line):
                if re.match(r"^[a-z][a-z0-9+.-]*:", target, re.I):
                    continue  # another site, mail
                file_part, _, anchor = target.partition("#")
                linked = (path.parent / file_part).resolve() if file_part else path
                where = f"{path.relative_to(ROOT)}:{number}: {target}"
                if not linked.exists():
                    yield f"{where}: no such file"
                elif not linked.is_relative_to(ROOT):
                    yield f"{where}: outside the project"
                elif anchor and linked.suffix == ".md" and anchor not in anchors(linked):
                    yield f"{where}: no such heading"


def main():
    broken = list(broken_links())
    for line in broken:
        print(line, file=sys.stderr)
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
