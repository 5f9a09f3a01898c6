#!/usr/bin/env bash
# Installs what is missing, builds the Windows program, serves a generated demo
# folder tree from a local FTP server on 127.0.0.1 and opens Quorvel on it
# under Wine. With HOST= (and USER=, PASS=, PORT=, RACINE=) it connects there
# instead of the demo server. Without a display it runs under Xvfb and saves a
# screenshot to build/run-screenshot.png. Where this machine cannot run 32-bit
# programs (or QUORVEL_WINE64=1), the 64-bit build is opened.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

tools/install-deps.sh
source tools/wine-env.sh
quorvel_wine_says
cmake --preset "$QUORVEL_WIN_PRESET" >/dev/null
cmake --build --preset "$QUORVEL_WIN_PRESET" -j "$(nproc)"
tools/wine-prefix.sh

exe=build/$QUORVEL_WIN_PRESET/app/Quorvel.exe
workdir=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-run.XXXXXX")
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

args=()
if [ -z "${HOST:-}" ]; then
  /usr/bin/python3 tests/fixture/ftpserver.py --root "$workdir/tree" --generate "${DEMO_SIZE:-3}" \
    --user demo --password demo --port-file "$workdir/port" --stop-file "$workdir/stop" \
    --max-lifetime "${DEMO_LIFETIME:-3600}" --stderr "$workdir/server.log" &
  server_pid=$!
  for _ in $(seq 150); do [ -s "$workdir/port" ] && break; sleep 0.1; done
  [ -s "$workdir/port" ] || { echo "run.sh: the demo FTP server did not start:" >&2; cat "$workdir/server.log" >&2; exit 1; }
  port=$(cat "$workdir/port")
  echo "run.sh: demo FTP server on 127.0.0.1:$port (user demo, password demo), tree in $workdir/tree"
  args=("HOST=127.0.0.1" "PORT=$port" "USER=demo" "PASS=demo")
else
  args=("HOST=$HOST")
  for v in USER PASS PORT RACINE; do [ -n "${!v:-}" ] && args+=("$v=${!v}"); done
  [ -n "${PASSIVE:-}" ] && args+=("-passive")
fi

if [ ! -f "$exe" ]; then
  # Until the main window exists, show what does: the class library's demo form.
  echo "run.sh: Quorvel.exe is not built yet; showing the class library's demo form instead." >&2
  echo "run.sh: the demo FTP server above serves meanwhile; any FTP client can connect to it." >&2
  exe=build/$QUORVEL_WIN_PRESET/tests/vcl/vcl_demo.exe
  args=()
fi

if [ -n "${DISPLAY:-}" ]; then
  "$QUORVEL_WINE" "$exe" "${args[@]}"
else
  shot=$root/build/run-screenshot.png
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    "$QUORVEL_WINE" "$0" "${@:2}" & pid=$!
    sleep "${SHOT_DELAY:-15}"; import -window root "$1"; kill $pid 2>/dev/null; wineserver -k' \
    "$exe" "$shot" "${args[@]}"
  echo "run.sh: no display; screenshot saved to $shot"
fi
