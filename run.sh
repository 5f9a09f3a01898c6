#!/usr/bin/env bash
# Installs what is missing, builds the Windows program, serves a generated demo
# folder tree from a local FTP server on 127.0.0.1 and opens Quorvel on it
# under Wine, which connects and scans at once. With HOST= (and FTPUSER= or
# USER=, PASS=, PORT=, RACINE=, PASSIVE=1) it connects there instead of the
# demo server; other arguments (-US, -FR) go to the program. Without a display it runs under Xvfb and saves a
# screenshot to build/run-screenshot.png. Where this machine cannot run 32-bit
# programs (or QUORVEL_WINE64=1), the 64-bit build is opened.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

tools/install-deps.sh
source tools/wine-env.sh
quorvel_wine_says
cmake --preset "$QUORVEL_WIN_PRESET" >/dev/null
# The program alone: the tests, demos and benchmarks are test.sh's.
cmake --build --preset "$QUORVEL_WIN_PRESET" -j "$(nproc)" --target Quorvel
tools/wine-prefix.sh

exe=$root/build/$QUORVEL_WIN_PRESET/app/Quorvel.exe
workdir=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-run.XXXXXX")
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

# The program keeps its options and sites in Quorvel.xml in its working
# folder: build/run keeps them from one run to the next. A first run starts
# with the automatic update check off.
rundir=$root/build/run
mkdir -p "$rundir"
[ -f "$rundir/Quorvel.xml" ] ||
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<Quorvel><Options><AutoCheck>0</AutoCheck></Options></Quorvel>\n' \
    >"$rundir/Quorvel.xml"

# Parameters on its command line make the program connect and scan at once.
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
  args=("-host=127.0.0.1" "-port=$port" "-user=demo" "-pass=demo")
  [ -n "${RACINE:-}" ] && args+=("-racine=$RACINE")
else
  args=("-host=$HOST")
  # USER is also the shell's own login name: taken only when set to another
  # name; FTPUSER= always works.
  ftpuser=${FTPUSER:-}
  [ -z "$ftpuser" ] && [ -n "${USER:-}" ] && [ "$USER" != "$(id -un)" ] && ftpuser=$USER
  [ -n "$ftpuser" ] && args+=("-user=$ftpuser")
  for v in PASS PORT RACINE; do [ -n "${!v:-}" ] && args+=("-${v,,}=${!v}"); done
fi
[ -n "${PASSIVE:-}" ] && [ "${PASSIVE}" != 0 ] && args+=("-passive")
# Anything on run.sh's own command line (-FR, -US …) goes to the program too.
args+=("$@")

cd "$rundir"
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
