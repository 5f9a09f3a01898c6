#!/usr/bin/env bash
# Builds the native-tsan preset (g++ with ThreadSanitizer) and runs the
# threaded tests: the cases labelled `threaded`, from the suites that each
# test program's CMakeLists.txt names with quorvel_threaded_suites
# (dispatcher, threads and locks, scan session and deletions, tree worker,
# update check, socket stop and transfer abort, the busy bar's drawing
# thread, ...).
#
#   tools/run-tsan.sh [repeat]   # repeat: runs of each test (default 1)
#
# Exits non-zero when a build fails, a test fails or ThreadSanitizer reports
# (TSAN_OPTIONS halt_on_error=1 turns a report into a failed test).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repeat=${1:-1}
jobs=$(nproc)
[ "$jobs" -gt 4 ] && jobs=4

cmake --preset native-tsan >/dev/null
cmake --build --preset native-tsan -j"$jobs"
ctest --preset native-tsan -j"$jobs" --repeat until-fail:"$repeat"
