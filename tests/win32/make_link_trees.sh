#!/usr/bin/env bash
# Makes DIR afresh for the Unix link tests under Wine (unix_links_test.cpp): folders with Unix
# symbolic links in them, which a Windows program cannot make. Garbled names (”®в® is «Фото»
# written in 866 and read in 1251) wait both inside the trees and outside them, where no walk
# may list or rename them.
set -euo pipefail
dir=$(realpath -m "$1")  # the links below name it
garbled='”®в®'
rm -rf "$dir"
mkdir -p "$dir/outside/$garbled" "$dir/named/a/b/c" "$dir/named/dot." "$dir/known_target"
touch "$dir/outside/$garbled 2020" "$dir/outside/$garbled/$garbled"
# A named tree: a link to a folder outside, a deep one, one that closes a cycle, and a link
# with a garbled name of its own (renamed itself, as a link, never followed).
touch "$dir/named/$garbled 2020"
ln -s ../outside "$dir/named/link"
ln -s ../../../../outside "$dir/named/a/b/c/deep"
ln -s ../../named "$dir/named/a/cycle"
ln -s "$dir/outside" "$dir/named/$garbled link"
# A known folder that is itself a link, as Wine's are (into $HOME), with a link inside.
ln -s known_target "$dir/known"
touch "$dir/known_target/$garbled 2020"
ln -s ../outside "$dir/known_target/link"
