#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: natively,
# natively under ASan/UBSan, and the Windows programs under Wine on a private
# Xvfb display (32-bit where this machine can run 32-bit programs, else the
# 64-bit build; QUORVEL_WINE64=1 forces the 64-bit way).
#
# Stages can be left out for a quicker local run: QUORVEL_SKIP="asan win64"
# (names: native asan tsan fuzz win32 win64); CI runs them all.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

tools/install-deps.sh

jobs=${QUORVEL_JOBS:-$(nproc)}
status=0
summaries=()
timings=()
skip=" ${QUORVEL_SKIP:-} "

stage_start=
begin() { stage_start=$SECONDS; echo "=== $1" >&2; }
took() { timings+=("$(printf '%-28s %4d s' "$1" $((SECONDS - stage_start)))"); }

build_preset() {
  local preset=$1
  begin "$preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  took "$preset build"
}

test_preset() {
  local preset=$1
  begin "$preset: test"
  local log=build/$preset-ctest.log
  rm -f "$log.rerun"
  last_log=$log
  if ! ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log"; then
    # A failure is shown in full above. Tests that pass when run again alone
    # are timing-sensitive under load (or under Wine): name them, but let
    # them pass.
    echo "=== $preset: running the failed tests again, one at a time" >&2
    if ctest --preset "$preset" --rerun-failed 2>&1 | tee "$log.rerun"; then
      last_log=$log.rerun
      echo "=== $preset: FLAKY (failed once, passed again): $(grep -E '^\s+[0-9]+ - ' "$log" | sed 's/^ *//' | tr '\n' ';')" >&2
      summaries+=("[$preset] $(grep -E 'tests passed|tests failed' "$log" | tail -1) -> rerun: $(grep -E 'tests passed|tests failed' "$log.rerun" | tail -1)")
      summaries+=("[$preset] FLAKY: $(grep -E '^\s+[0-9]+ - ' "$log" | sed 's/^ *//' | tr '\n' ';')")
      took "$preset tests"
      return
    fi
    status=1
  fi
  summaries+=("[$preset] $(grep -E 'tests passed|tests failed' "$log" | tail -1)")
  took "$preset tests"
}

wanted() { [[ "$skip" != *" $1 "* ]]; }

source tools/wine-env.sh
quorvel_wine_says

if wanted native; then build_preset native; test_preset native; fi
if wanted asan; then build_preset native-asan; test_preset native-asan; fi

# The threaded tests under ThreadSanitizer, and every parser of outside input
# fuzzed for a short while from its seeds (FUZZ_SECONDS each, 20 by default).
run_tool() {
  local name=$1
  shift
  begin "$name"
  if "$@" 2>&1 | tee "build/$name.log"; then
    summaries+=("[$name] passed")
  else
    summaries+=("[$name] FAILED (build/$name.log)")
    status=1
  fi
  took "$name"
}
if wanted tsan; then run_tool native-tsan tools/run-tsan.sh; fi
if wanted fuzz; then run_tool fuzz tools/run-fuzzers.sh "${FUZZ_SECONDS:-20}"; fi

# Both Windows builds are compiled; the one this machine can run is tested.
win=$QUORVEL_WIN_PRESET
other=win64
[ "$win" = win64 ] && other=win32
if wanted "$win"; then
  build_preset "$win"
  begin "$win: Wine prefix and display"
  tools/wine-prefix.sh
  xvfb_pid=
  if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 130); do
      if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then break; fi
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo >/dev/null 2>&1 || { echo "test.sh: Xvfb did not start on $DISPLAY" >&2; exit 1; }
  fi
  # One wineserver for the whole run instead of one per test program.
  wineserver -p 60 || true
  trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT
  took "$win prefix"
  test_preset "$win"
fi
if wanted "$other"; then build_preset "$other"; fi

echo
quorvel_wine_says
echo "Time per stage:"
for t in "${timings[@]}"; do echo "  $t"; done
for s in "${summaries[@]}"; do echo "$s"; done
# ctest's own closing lines of the last preset run stand last in the output.
[ -n "${last_log:-}" ] && { grep -E 'tests passed|tests failed|Total Test time' "$last_log" | tail -2 || true; }
exit $status
