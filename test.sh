#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: natively,
# natively under ASan/UBSan, and the Windows programs under Wine on a private
# Xvfb display (32-bit where this machine can run 32-bit programs, else the
# 64-bit build; QUORVEL_WINE64=1 forces the 64-bit way).
#
# Stages can be left out for a quicker local run: QUORVEL_SKIP="asan win64"
# (names: format native asan tsan fuzz win32 win64); CI runs them all.
#
# A build failure ends the run with the summary of the stages before it. A
# test that fails and passes when run again alone fails the run as well,
# unless tools/known-flaky.txt lists it (name, date, reason).
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

# Whatever happens below (a failed build, a failed step, Ctrl-C), the display
# and the wineserver this run started are stopped on the way out.
xvfb_pid=
wine_started=
cleanup() {
  if [ -n "$wine_started" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

tools/install-deps.sh

jobs=${QUORVEL_JOBS:-$(nproc)}
status=0
summaries=()
timings=()
skip=" ${QUORVEL_SKIP:-} "

# ccache keys on paths relative to the clone, so a clone in another folder
# (CI's) finds what this machine compiled before.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}

stage_start=
begin() { stage_start=$SECONDS; echo "=== $1" >&2; }
took() { timings+=("$(printf '%-28s %4d s' "$1" $((SECONDS - stage_start)))"); }

# The time per stage, the summaries and ctest's closing lines; then out.
finish() {
  echo
  quorvel_wine_says
  echo "Time per stage:"
  for t in "${timings[@]}"; do echo "  $t"; done
  for s in "${summaries[@]}"; do echo "$s"; done
  # ctest's own closing lines of the last preset run stand last in the output.
  [ -n "${last_log:-}" ] && { grep -E 'tests passed|tests failed|Total Test time' "$last_log" | tail -2 || true; }
  exit $status
}

# A build that fails ends the run here, with what the stages before it found.
build_preset() {
  local preset=$1
  shift
  begin "$preset: configure and build"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs" "$@"; then
    took "$preset build"
    summaries+=("[$preset] BUILD FAILED (the output above); the stages after it did not run")
    status=1
    finish
  fi
  took "$preset build"
}

# tools/known-flaky.txt: "<ctest name> <YYYY-MM-DD> <reason>" a line. Prints
# the date and reason of a test on it; fails for one that is not.
known_flaky() {
  local name=$1 n=0 tname date reason
  [ -f tools/known-flaky.txt ] || return 1
  while IFS= read -r line || [ -n "$line" ]; do
    n=$((n + 1))
    [[ "$line" =~ ^[[:space:]]*(#|$) ]] && continue
    read -r tname date reason <<<"$line"
    if [[ ! "$date" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}$ ]] || [ -z "$reason" ]; then
      echo "test.sh: tools/known-flaky.txt:$n: wants \"<test> <YYYY-MM-DD> <reason>\", ignored: $line" >&2
      continue
    fi
    [ "$tname" = "$name" ] && { echo "listed $date: $reason"; return 0; }
  done <tools/known-flaky.txt
  return 1
}

test_preset() {
  local preset=$1
  begin "$preset: test"
  local log=build/$preset-ctest.log
  local failed_list=build/$preset/Testing/Temporary/LastTestsFailed.log
  local before=$status
  rm -f "$log.rerun" "$failed_list"
  last_log=$log
  if ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log"; then
    summaries+=("[$preset] $(grep -E 'tests passed|tests failed' "$log" | tail -1)")
    took "$preset tests"
    return
  fi
  status=1
  summaries+=("[$preset] $(grep -E 'tests passed|tests failed' "$log" | tail -1 || echo 'ctest failed')")
  if [ ! -s "$failed_list" ]; then
    took "$preset tests"
    return
  fi
  # A failure is shown in full above. A test that passes when run again
  # alone is flaky: that fails the run too, unless tools/known-flaky.txt
  # lists it with the date and the reason.
  local failed=()
  mapfile -t failed < <(sed 's/^[0-9]*://' "$failed_list")
  echo "=== $preset: running the failed tests again, one at a time" >&2
  if ctest --preset "$preset" --rerun-failed 2>&1 | tee "$log.rerun"; then
    summaries[-1]+=" -> rerun: $(grep -E 'tests passed|tests failed' "$log.rerun" | tail -1)"
    local t why unlisted=()
    for t in "${failed[@]}"; do
      if why=$(known_flaky "$t"); then
        echo "=== $preset: KNOWN FLAKY, passes the run: $t (tools/known-flaky.txt, $why)" >&2
        summaries+=("[$preset] KNOWN FLAKY (failed once, passed again; tools/known-flaky.txt, $why): $t")
      else
        unlisted+=("$t")
      fi
    done
    if [ ${#unlisted[@]} -eq 0 ]; then
      status=$before
      last_log=$log.rerun
    else
      echo "=== $preset: FLAKY, fails the run (failed once, passed again, not in tools/known-flaky.txt): ${unlisted[*]}" >&2
      summaries+=("[$preset] FLAKY, fails the run (failed once, passed again; fix it, or list it in tools/known-flaky.txt with the date and the reason): ${unlisted[*]}")
    fi
  fi
  took "$preset tests"
}

wanted() { [[ "$skip" != *" $1 "* ]]; }

source tools/wine-env.sh
quorvel_wine_says
mkdir -p build

# Every tracked C++ file is laid out as .clang-format says (tests/layering/data
# holds the layering check's samples, left as they are). Skipped, and said so,
# where clang-format or git is missing.
if wanted format; then
  begin "format"
  if ! command -v clang-format >/dev/null; then
    summaries+=("[format] skipped: clang-format is not installed")
  elif ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    summaries+=("[format] skipped: not a git checkout")
  else
    # The names of the files that differ, one a line (each group of files
    # writes its few names at once, so parallel groups do not mix), then the
    # first file's differences as an example.
    git ls-files -z '*.cpp' '*.h' ':!tests/layering/data/' |
      xargs -0 -n 20 -P "$jobs" sh -c 'clang-format --dry-run -Werror "$@" 2>&1 |
        grep -oE "^[^ :]+:[0-9]+:[0-9]+: error" | cut -d: -f1 | sort -u' sh |
      sort -u >build/format.log || true
    if [ -s build/format.log ]; then
      head -20 build/format.log >&2
      clang-format --dry-run "$(head -1 build/format.log)" 2>&1 | head -30 >&2 || true
      summaries+=("[format] FAILED: $(wc -l <build/format.log) files differ from .clang-format (listed in build/format.log; clang-format -i <file> lays one out)")
      status=1
    else
      summaries+=("[format] passed: $(git ls-files '*.cpp' '*.h' ':!tests/layering/data/' | wc -l) files")
    fi
  fi
  took "format"
fi

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
  wine_started=1
  if ! tools/wine-prefix.sh; then
    summaries+=("[$win] the Wine prefix could not be made (the output above)")
    status=1
    finish
  fi
  if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 130); do
      if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then break; fi
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    if ! xdpyinfo >/dev/null 2>&1; then
      summaries+=("[$win] Xvfb did not start on $DISPLAY")
      status=1
      finish
    fi
  fi
  # One wineserver for the whole run instead of one per test program.
  wineserver -p 60 || true
  took "$win prefix"
  test_preset "$win"
fi
# Of the other one, the program and every library (its tests would add half
# again to the run for code the tested build already compiles).
if wanted "$other"; then build_preset "$other" --target libraries; fi

finish
