#!/usr/bin/env bash
# Runs the README's two commands on a freshly bootstrapped Debian 12, not on the machine the
# project is developed on: a minimal bookworm made by debootstrap, a clean clone of this
# repository's main branch inside it, then `scripts/run.sh` and `scripts/test.sh` as root in a
# chroot, each timed. What the developer's machine has installed cannot help them there: every
# package the scripts need they install themselves, and the generated tables are compared byte
# for byte with the committed ones (scripts/check-sources.sh, part of scripts/test.sh), so they
# must be the same when made in the chroot. Takes half an hour or more; not part of CI.
#   scripts/fresh-debian-check.sh [BRANCH]     (as root; needs debootstrap, which it installs)
# The chroot has its own /proc, /dev and /dev/pts in a private mount namespace and is removed
# afterwards; its log is kept in /var/tmp/tavrik-fresh-<time>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
branch=${1:-main}
[ "$(id -u)" -eq 0 ] || { echo "fresh-debian-check.sh: run as root (debootstrap, chroot)" >&2; exit 2; }
command -v debootstrap >/dev/null ||
  { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null; }

# The mirror this machine's own apt sources name for bookworm.
mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
  2>/dev/null | grep -E '^(deb |URIs:)' | grep -oE 'https?://[^ ]+/debian/?' | head -n 1 || true)
[ -n "$mirror" ] || { echo "fresh-debian-check.sh: no Debian mirror in /etc/apt/sources*" >&2; exit 2; }

work=$(mktemp -d /var/tmp/tavrik-fresh.XXXXXX)
log=/var/tmp/tavrik-fresh-$(date +%Y%m%d-%H%M%S).log
cleanup() {
  for mounted in $(awk -v p="$work" 'index($5, p) == 1 { print $5 }' /proc/self/mountinfo | sort -r); do
    umount -l "$mounted" 2>/dev/null || true
  done
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

echo "debootstrap bookworm from $mirror into $work/root (log: $log)" >&2
debootstrap --variant=minbase --include=ca-certificates,git bookworm "$work/root" "$mirror" \
  >"$log" 2>&1
# Sources and name resolution as on this machine; nothing else of it.
cp /etc/resolv.conf "$work/root/etc/resolv.conf"
printf 'deb %s bookworm main\n' "$mirror" >"$work/root/etc/apt/sources.list"
git clone --quiet --no-local --branch "$branch" "$PWD" "$work/root/root/project"
echo "cloned $(git -C "$work/root/root/project" rev-parse --short HEAD) of $branch" >&2

# One command in the chroot, in a mount and PID namespace of its own that dies with it.
in_chroot() {
  unshare --mount --pid --fork --propagation private bash -c '
    set -e
    root=$1; shift
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount -t tmpfs tmpfs "$root/run"
    mount -t tmpfs -o mode=755 dev "$root/dev"
    for node in null zero full random urandom tty; do
      touch "$root/dev/$node"; mount --bind "/dev/$node" "$root/dev/$node"
    done
    mkdir -p "$root/dev/pts" "$root/dev/shm"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
    ln -s pts/ptmx "$root/dev/ptmx"
    ln -s /proc/self/fd "$root/dev/fd"
    ln -s /proc/self/fd/0 "$root/dev/stdin"
    ln -s /proc/self/fd/1 "$root/dev/stdout"
    ln -s /proc/self/fd/2 "$root/dev/stderr"
    mount -t tmpfs tmpfs "$root/dev/shm"
    exec chroot "$root" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
      bash -lc "cd /root/project && $*"
  ' in-chroot "$work/root" "$@" </dev/null
}

status=0
for command in scripts/run.sh scripts/test.sh; do
  echo "== $command" | tee -a "$log" >&2
  start=$(date +%s)
  if in_chroot "$command" >>"$log" 2>&1; then result=passed; else result=FAILED; status=1; fi
  echo "$command: $result in $(($(date +%s) - start)) s" | tee -a "$log" >&2
done
echo "the generated tables, as made in the chroot (sha256):" | tee -a "$log" >&2
in_chroot 'for g in encoding/generate_single_byte_tables.py encoding/generate_reading_tables.py \
  engine/language_model/generate_trigram_model.py engine/lexicon/generate_word_forms.py; do
  printf "%s  %s\n" "$(/usr/bin/python3 $g | sha256sum | cut -d" " -f1)" "$g"; done' |
  tee -a "$log" >&2
echo "the committed tables (sha256):" | tee -a "$log" >&2
(cd "$work/root/root/project" && sha256sum encoding/single_byte_tables.inc encoding/reading_tables.inc \
  engine/language_model/russian_trigrams.inc engine/lexicon/russian_word_forms.inc) |
  tee -a "$log" >&2
echo "log: $log" >&2
exit $status
