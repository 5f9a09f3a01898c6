#!/usr/bin/env bash
# Makes the project's Wine prefix once: no installer prompts, the fonts the
# program asks for mapped to Liberation Sans, 96 DPI.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

# Bump when the settings below change: an existing prefix gets them again.
settings_version=2
stamp=$WINEPREFIX/.quorvel-ready
[ "$(cat "$stamp" 2>/dev/null)" = "$settings_version" ] && exit 0

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ "$(cat "$stamp" 2>/dev/null)" = "$settings_version" ] && exit 0

if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  echo "wine-prefix: wine32:i386 is missing; a prefix made without it cannot run 32-bit programs" >&2
  exit 1
fi

if [ ! -f "$stamp" ]; then
  rm -rf "$WINEPREFIX"
  echo "wine-prefix: creating $WINEPREFIX" >&2
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

reg() { wine reg add "$@" /f >/dev/null 2>&1; }
for face in Tahoma "Tahoma Bold" Arial Verdana "MS Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" "Microsoft Sans Serif"; do
  reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "Liberation Sans"
done
reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96
reg 'HKCU\Software\Wine\Fonts' /v LogPixels /t REG_DWORD /d 96
# No crash dialog that would hang a headless run.
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
# Xvfb has no window manager; Wine would wait for one on every show and hide.
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
wineserver -w
echo "$settings_version" > "$stamp"
