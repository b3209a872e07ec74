#!/usr/bin/env bash
# Installs the Debian packages a build needs, when any is missing. As root it installs them;
# otherwise it names them and stops.
#   scripts/setup-debian.sh native    the Linux build, tests and benchmarks
#   scripts/setup-debian.sh windows   the Windows build (MinGW-w64) and Wine to run its tests
#   scripts/setup-debian.sh display   a virtual display to run the window in and photograph it
#   scripts/setup-debian.sh fuzz      clang with libFuzzer and the sanitizers' runtime
#   scripts/setup-debian.sh generators clang-format, and the Russian texts the tables are made from
set -euo pipefail

packages=()
for group in "${@:-native}"; do
  case "$group" in
    native) packages+=(g++ cmake ninja-build libgtest-dev libbenchmark-dev) ;;
    windows) packages+=(cmake ninja-build g++-mingw-w64-x86-64 googletest wine wine64 locales) ;;
    fuzz) packages+=(cmake ninja-build clang libclang-rt-14-dev) ;;
    generators) packages+=(clang-format python3 fortunes-ru manpages-ru hunspell-ru) ;;
    display) packages+=(xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core) ;;
    *) echo "unknown package group: $group" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Run as root, or: sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
