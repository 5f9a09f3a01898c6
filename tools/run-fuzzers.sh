#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, ASan, UBSan) and runs every fuzz
# target for a bounded time from its checked-in seed corpus.
#
#   tools/run-fuzzers.sh [seconds] [target...]
#
# seconds: time per target (default 20); targets: all when none is named.
# Targets run in parallel, as many at once as there are processors (or
# FUZZ_JOBS). New inputs collect in build/fuzz/corpus/<target> and are used
# again by the next run; the checked-in seeds are never changed.
#
# Exits non-zero when a target crashes, hangs or fails one of its checks,
# naming the target and the input (kept in build/fuzz/artifacts/<target>/).
# Add such an input to the target's seeds once the fault is fixed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-20}
shift || true
jobs=${FUZZ_JOBS:-$(nproc)}
build=build/fuzz

cmake --preset fuzz >/dev/null || exit 1
build_jobs=$jobs
[ "$build_jobs" -gt 4 ] && build_jobs=4
cmake --build --preset fuzz -j"$build_jobs" || exit 1

# "target|seed folder" lines, written by fuzz/CMakeLists.txt.
mapfile -t entries <"$build/fuzzers.txt"
selected=()
for entry in "${entries[@]}"; do
  [ -z "$entry" ] && continue
  name=${entry%%|*}
  if [ $# -gt 0 ]; then
    for wanted in "$@"; do [ "$wanted" = "$name" ] && selected+=("$entry"); done
  else
    selected+=("$entry")
  fi
done
if [ ${#selected[@]} -eq 0 ]; then
  echo "run-fuzzers: no such target: $*" >&2
  exit 2
fi

mkdir -p "$build/logs"
run_one() {
  local name=$1 seeds=$2
  local exe
  exe=$(find "$build/fuzz" -type f -name "$name" -perm -u+x | head -n 1)
  if [ -z "$exe" ]; then
    echo "FAIL $name: not built" >"$build/logs/$name.result"
    return
  fi
  local corpus="$build/corpus/$name" artifacts="$build/artifacts/$name/"
  mkdir -p "$corpus" "$artifacts"
  # ASan's leak check at exit stays on; a slow input counts as a hang after
  # 10 s, memory over 2 GB as a crash.
  if "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$artifacts" "$corpus" "$seeds" >"$build/logs/$name.log" 2>&1; then
    local execs
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$name.log" | tail -n 1)
    echo "ok   $name: ${execs:-?} runs" >"$build/logs/$name.result"
  else
    echo "FAIL $name" >"$build/logs/$name.result"
  fi
}

echo "run-fuzzers: ${#selected[@]} targets, ${seconds} s each, $jobs at a time"
running=0
for entry in "${selected[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
  run_one "${entry%%|*}" "${entry#*|}" &
  running=$((running + 1))
done
wait

status=0
for entry in "${selected[@]}"; do
  name=${entry%%|*}
  cat "$build/logs/$name.result"
  if grep -q '^FAIL' "$build/logs/$name.result"; then
    status=1
    log="$build/logs/$name.log"
    echo "---- $name: $log"
    # The report: the sanitizer's or the check's words and the stack.
    grep -m 1 -n -E 'ERROR: |fuzz check failed|runtime error|Timeout|timeout|out-of-memory|deadly signal' "$log" |
      head -n 1 | cut -d: -f1 | { read -r line && tail -n +"$line" "$log" | head -n 40; } || tail -n 40 "$log"
    for input in "$build/artifacts/$name"/*; do
      [ -f "$input" ] || continue
      echo "---- input $input ($(stat -c %s "$input") bytes):"
      head -c 512 "$input" | od -An -c | head -n 20
    done
  fi
done
exit $status
