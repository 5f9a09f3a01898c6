#!/usr/bin/env bash
# ctest's emulator for the Windows presets: runs one program under the
# project's Wine prefix, on the display given or on a private Xvfb.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/wine-env.sh"
"$here/wine-prefix.sh"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
