#!/usr/bin/env bash
# Runs a command with a private Wine prefix and home made for it, under a locale that decides the
# system code pages Windows programs see, and removes them afterwards:
#   scripts/with-wine.sh ru_RU    ANSI 1251, OEM 866 (a Russian Windows)
#   scripts/with-wine.sh en_US    ANSI 1252, OEM 437
# TAVRIK_EXPECT_SYSTEM_CODE_PAGES tells the tests which code pages to expect; TAVRIK_WINE_DPI, when
# set, the screen's DPI.
set -euo pipefail
locale_name=$1
shift
case "$locale_name" in
  ru_RU) expect="1251 866" ;;
  en_US) expect="1252 437" ;;
  *) echo "with-wine.sh: unknown locale $locale_name" >&2; exit 2 ;;
esac

session=$(mktemp -d "${TMPDIR:-/tmp}/tavrik-wine.XXXXXX")
cleanup() {
  WINEPREFIX="$session/prefix" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$session"
}
trap cleanup EXIT

# Wine takes its code pages from the Linux locale, which must exist; unknown, it silently falls
# back to 1252/437. Compile it privately rather than touch the machine's locales.
mkdir -p "$session/locale" "$session/home"
localedef -i "$locale_name" -f UTF-8 "$session/locale/$locale_name.UTF-8" 2>/dev/null ||
  [ -f "$session/locale/$locale_name.UTF-8/LC_CTYPE" ]

# Set for the commands only: this shell cannot load a locale from LOCPATH and would warn.
in_locale=(env LOCPATH="$session/locale" LANG="$locale_name.UTF-8" LC_ALL="$locale_name.UTF-8")
export WINEPREFIX="$session/prefix" HOME="$session/home"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
export TAVRIK_WINE_SESSION="$session" TAVRIK_EXPECT_SYSTEM_CODE_PAGES="$expect"

timeout 300 "${in_locale[@]}" wineboot -i >/dev/null 2>&1
# A crash must not open a debugger dialog that waits forever; and with no window manager, Wine
# draws window frames itself.
"${in_locale[@]}" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
"${in_locale[@]}" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# TAVRIK_WINE_DPI=144 runs the command as on a screen set to 150 % (96 is 100 %).
[ -z "${TAVRIK_WINE_DPI:-}" ] ||
  "${in_locale[@]}" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$TAVRIK_WINE_DPI" /f >/dev/null 2>&1
# With no display at all, windows are still created and take messages, drawn nowhere.
[ -n "${DISPLAY:-}" ] ||
  "${in_locale[@]}" wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null 2>&1
# Settings take effect in a new Wine session.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

"${in_locale[@]}" "$@"
