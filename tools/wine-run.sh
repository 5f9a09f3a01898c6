#!/usr/bin/env bash
# ctest's emulator for the Windows presets: runs one program under the
# project's Wine prefix, on the display given or on a private Xvfb.
#
# The program's output goes to a file, not to ctest's pipe: Wine services
# started on behalf of the program (and servers a test starts) inherit its
# standard handles and outlive it, and ctest would wait on the pipe until
# they exit.
set -uo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/wine-env.sh"
"$here/wine-prefix.sh" || exit 1

out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'cat "$out"; rm -f "$out"' EXIT
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; exit 143' TERM INT

# Without a display each program gets an Xvfb of its own; programs run side
# by side should share one display (./test.sh starts one), since one
# wineserver serving several displays at once fails with X errors.
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "$QUORVEL_WINE" "$@" >"$out" 2>&1 </dev/null &
else
  "$QUORVEL_WINE" "$@" >"$out" 2>&1 </dev/null &
fi
pid=$!
wait "$pid"
status=$?
# A program that crashed is a failure even when Wine's debugger leaves an
# exit status of 0 behind (it does when the whole test program runs).
if [ $status -eq 0 ] && grep -q '^wine: Unhandled' "$out"; then
  echo "wine-run: the program crashed (see the Wine report above)" >>"$out"
  status=1
fi
exit $status
