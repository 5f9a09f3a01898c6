# Sourced by the scripts that run Windows programs: the project's own Wine
# prefix and a pinned environment, so no run depends on the user's settings.
QUORVEL_ROOT=${QUORVEL_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${QUORVEL_WINEPREFIX:-$QUORVEL_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
export LANG=${QUORVEL_LANG:-C.UTF-8}
export LC_ALL=$LANG
