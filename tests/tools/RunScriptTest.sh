#!/usr/bin/env bash
# run.sh builds the program's target alone, not the tests, demos and
# benchmarks of the whole tree. It runs here on a copy of the script with
# its helpers and the build tool replaced by recorders; the program it
# opens is a stand-in too.
set -euo pipefail
src=${1:?usage: RunScriptTest.sh <source dir>}
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-runsh.XXXXXX")
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/tree/tools" "$work/bin"
cp "$src/run.sh" "$work/tree/run.sh"
printf '#!/usr/bin/env bash\nexit 0\n' >"$work/tree/tools/install-deps.sh"
printf '#!/usr/bin/env bash\nexit 0\n' >"$work/tree/tools/wine-prefix.sh"
cat >"$work/tree/tools/wine-env.sh" <<ENV
QUORVEL_WIN_PRESET=win64
QUORVEL_WINE="$work/bin/wine"
quorvel_wine_says() { :; }
ENV
printf '#!/usr/bin/env bash\necho "$*" >>"%s/cmake.log"\n' "$work" >"$work/bin/cmake"
printf '#!/usr/bin/env bash\necho "$*" >>"%s/wine.log"\n' "$work" >"$work/bin/wine"
chmod +x "$work"/tree/tools/*.sh "$work"/bin/*

PATH="$work/bin:$PATH" HOST=ftp.invalid DISPLAY=:99 bash "$work/tree/run.sh" -US >"$work/out.log" 2>&1 || {
  echo "run.sh failed:"; cat "$work/out.log"; exit 1; }

fail=0
builds=$(grep -c -- '--build' "$work/cmake.log" || true)
if [ "$builds" != 1 ]; then echo "expected one build command, got $builds:"; cat "$work/cmake.log"; fail=1; fi
if ! grep -q -- '--build .*--target Quorvel\( \|$\)' "$work/cmake.log"; then
  echo "the build does not name the program's target alone:"; grep -- '--build' "$work/cmake.log"; fail=1
fi
if ! grep -q -- 'Quorvel.exe -host=ftp.invalid -US' "$work/wine.log"; then
  echo "the program was not opened with its arguments:"; cat "$work/wine.log"; fail=1
fi
exit $fail
