# Sourced by the scripts that run Windows programs: which Wine this machine
# can run, the project's own prefix and a pinned environment, so no run
# depends on the user's settings.
#
# Some kernels have 32-bit emulation switched off: there the 32-bit loader
# fails with "Exec format error", and /usr/bin/wine, which always tries it
# first, fails too. Then the Windows programs are the win64 build's, run by
# the 64-bit loader directly. QUORVEL_WINE64=1 forces that way on any machine.
QUORVEL_ROOT=${QUORVEL_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}

if [ -z "${QUORVEL_WINE_ARCH:-}" ]; then
  if [ "${QUORVEL_WINE64:-0}" != 0 ]; then
    QUORVEL_WINE_ARCH=win64
    QUORVEL_WINE_WHY="forced by QUORVEL_WINE64=$QUORVEL_WINE64"
  elif [ ! -x /usr/lib/wine/wine ]; then
    QUORVEL_WINE_ARCH=win64
    QUORVEL_WINE_WHY="the 32-bit loader /usr/lib/wine/wine is not installed"
  elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    QUORVEL_WINE_ARCH=win64
    QUORVEL_WINE_WHY="this machine cannot run 32-bit programs (/usr/lib/wine/wine --version failed)"
  else
    QUORVEL_WINE_ARCH=win32
    QUORVEL_WINE_WHY="this machine runs 32-bit programs"
  fi
fi
export QUORVEL_WINE_ARCH QUORVEL_WINE_WHY

if [ "$QUORVEL_WINE_ARCH" = win64 ]; then
  QUORVEL_WINE=/usr/lib/wine/wine64
  export WINELOADER=/usr/lib/wine/wine64
else
  QUORVEL_WINE=/usr/bin/wine
fi
export QUORVEL_WINE
# The preset whose Windows programs run here, and its build folder.
QUORVEL_WIN_PRESET=$QUORVEL_WINE_ARCH
export QUORVEL_WIN_PRESET

export WINEPREFIX=${QUORVEL_WINEPREFIX:-$QUORVEL_ROOT/build/$QUORVEL_WIN_PRESET/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
export LANG=${QUORVEL_LANG:-C.UTF-8}
export LC_ALL=$LANG

# One line that says which way the Windows programs go.
quorvel_wine_says() {
  echo "wine: $QUORVEL_WINE_ARCH programs through $QUORVEL_WINE ($QUORVEL_WINE_WHY)"
}
