#!/usr/bin/env bash
# Builds everything and runs every test: the optimised Linux build, the Linux build with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows build under Wine, once as on a
# Russian Windows (code pages 1251/866) and once as on a Western one (1252/437), its window tests
# once more on a screen at 144 DPI; and a minute of every fuzz target. First of all, the sources
# are checked: formatted, generated tables current, the folder stack kept, the documents' links
# resolving.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh native windows fuzz
echo "== sources"
scripts/check-sources.sh
scripts/check-layers.sh
scripts/check-links.py
jobs=$(nproc)
for preset in native asan windows; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
echo "== a short run of every fuzz target"
scripts/fuzz.sh 60
for locale in ru_RU en_US; do
  echo "== windows tests under Wine, $locale"
  scripts/with-wine.sh "$locale" ctest --preset windows
done
echo "== the window's tests under Wine at 144 DPI (a screen set to 150 %)"
TAVRIK_WINE_DPI=144 scripts/with-wine.sh ru_RU scripts/wine-run.sh \
  build/windows/tests/tavrik_tests.exe --gtest_filter='MainWindowOnWindows.*' --gtest_brief=1
echo "== the release zip"
scripts/with-wine.sh ru_RU tests/package/package_test.sh
for preset in asan native; do
  echo "== $preset tests"
  ctest --preset "$preset" -j "$jobs"
done
