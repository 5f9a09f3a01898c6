#!/usr/bin/env bash
# Makes the project's Wine prefix once: no installer prompts, the fonts the
# program asks for mapped to Liberation Sans, 96 DPI unless QUORVEL_WINE_DPI
# gives another. Every step that fails says which command failed and with
# what status.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

# Bump when the settings below change: an existing prefix gets them again.
settings_version=5
# The screen's DPI; a prefix of its own for any other than 96.
dpi=${QUORVEL_WINE_DPI:-96}
stamp=$WINEPREFIX/.quorvel-ready
stamp_text="$settings_version:$QUORVEL_WINE_ARCH"
[ "$dpi" = 96 ] || stamp_text="$stamp_text:$dpi"
ready() { [ "$(cat "$stamp" 2>/dev/null)" = "$stamp_text" ]; }
ready && exit 0

fail() {
  echo "wine-prefix: $1" >&2
  [ -n "${2:-}" ] && [ -s "$2" ] && sed 's/^/wine-prefix:   /' "$2" | tail -20 >&2
  exit 1
}

mkdir -p "$(dirname "$WINEPREFIX")" || fail "cannot create $(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock" || fail "cannot open the lock file $WINEPREFIX.lock"
flock 9 || fail "cannot lock $WINEPREFIX.lock"
ready && exit 0

if [ "$QUORVEL_WINE_ARCH" = win32 ] &&
   ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  fail "wine32:i386 is missing; a prefix made without it cannot run 32-bit programs (install it, or set QUORVEL_WINE64=1)"
fi

log=$(mktemp "${TMPDIR:-/tmp}/wine-prefix.XXXXXX")
trap 'rm -f "$log"' EXIT

# A prefix made for the other loader, or half made, is made afresh.
if [ ! -f "$stamp" ] || [ "${QUORVEL_WINE_ARCH}" != "$(cut -d: -f2 "$stamp" 2>/dev/null)" ]; then
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
  echo "wine-prefix: creating $WINEPREFIX ($QUORVEL_WINE_ARCH, $QUORVEL_WINE)" >&2
  "$QUORVEL_WINE" wineboot -i >"$log" 2>&1
  status=$?
  [ $status -eq 0 ] || fail "'$QUORVEL_WINE wineboot -i' failed with status $status" "$log"
  wineserver -w >"$log" 2>&1 || fail "'wineserver -w' failed with status $?" "$log"
  [ -f "$WINEPREFIX/system.reg" ] || fail "'$QUORVEL_WINE wineboot -i' made no registry in $WINEPREFIX" "$log"
fi

reg() {
  "$QUORVEL_WINE" reg add "$@" /f >"$log" 2>&1
  local status=$?
  [ $status -eq 0 ] || fail "'$QUORVEL_WINE reg add $*' failed with status $status" "$log"
}
for face in Tahoma "Tahoma Bold" Arial Verdana "MS Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" "Microsoft Sans Serif"; do
  reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "Liberation Sans"
done
reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
reg 'HKCU\Software\Wine\Fonts' /v LogPixels /t REG_DWORD /d "$dpi"
# Wine draws the caption buttons with Marlett glyphs; without the font they
# show as the letters "0 1 r". Wine's own copy is in fonts-wine.
for font in marlett.ttf symbol.ttf wingding.ttf; do
  if [ -f "/usr/share/wine/fonts/$font" ]; then
    cp -f "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/" ||
      fail "cannot copy /usr/share/wine/fonts/$font into $WINEPREFIX/drive_c/windows/Fonts"
  fi
done
# The caption colours of Windows 10 instead of Wine's classic greys: an
# unfocused tree shows its selection in them (grey-on-grey in Wine's own
# scheme), so the pictures the tests take look as the program does there.
for c in "ActiveTitle:153 180 209" "GradientActiveTitle:185 209 234" "TitleText:0 0 0" \
         "InactiveTitle:191 205 219" "GradientInactiveTitle:215 228 242" "InactiveTitleText:0 0 0"; do
  reg 'HKCU\Control Panel\Colors' /v "${c%%:*}" /t REG_SZ /d "${c#*:}"
done
# No crash dialog that would hang a headless run.
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
# Xvfb has no window manager; Wine would wait for one on every show and hide.
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
wineserver -w >"$log" 2>&1 || fail "'wineserver -w' failed with status $?" "$log"
echo "$stamp_text" > "$stamp" || fail "cannot write $stamp"
