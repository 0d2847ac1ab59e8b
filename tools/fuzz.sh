#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz (libFuzzer with clang, every library
# built with AddressSanitizer and UndefinedBehaviorSanitizer) in build-fuzz
# and runs each for SECONDS (default 60), one process at a time, starting
# from a scratch copy of its seed corpus under tests/fuzz/corpus/. Prints
# the runs each target made and ends non-zero when any target failed; the
# inputs that made it fail are kept in build-fuzz/crashes/TARGET/.
#
#   tools/fuzz.sh [SECONDS] [TARGET...]
#
# FUZZ_UNIT_TIMEOUT (default 30) is the seconds one input may take before it
# counts as a hang; raise it when the fuzzers share a busy machine.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: tools/fuzz.sh [SECONDS] [TARGET...]" >&2
  exit 2
fi
shift || true
wanted=("$@")

./tools/install-deps.sh clang libclang-rt-14-dev

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSKINWRIGHT_FUZZ=ON -DSKINWRIGHT_TESTS=OFF -DSKINWRIGHT_BENCH=OFF "${launcher[@]}"
if ((${#wanted[@]})); then
  cmake --build build-fuzz --target "${wanted[@]}"
else
  cmake --build build-fuzz --target fuzz_targets
fi

crashes="$PWD/build-fuzz/crashes"
rm -rf "$crashes"
work="$(mktemp -d "${TMPDIR:-/tmp}/skinwright-fuzz-run-XXXXXX")"
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
printf '%-26s %12s  %s\n' "target" "runs" "result"
programs=()
if ((${#wanted[@]})); then
  for name in "${wanted[@]}"; do programs+=("build-fuzz/fuzz/$name"); done
else
  programs=(build-fuzz/fuzz/*_fuzz)
fi
for program in "${programs[@]}"; do
  name="$(basename "$program")"
  corpus="$work/corpus/$name"
  mkdir -p "$corpus" "$crashes/$name"
  if [ -d "tests/fuzz/corpus/$name" ]; then
    cp -a "tests/fuzz/corpus/$name/." "$corpus/"
  fi
  log="$work/$name.log"
  status=0
  "$program" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout="${FUZZ_UNIT_TIMEOUT:-30}" \
    -print_final_stats=1 \
    -artifact_prefix="$crashes/$name/" "$corpus" >"$log" 2>&1 || status=$?
  runs="$(awk '/stat::number_of_executed_units/ {print $2}' "$log" | tail -n 1)"
  if [ "$status" -eq 0 ]; then
    printf '%-26s %12s  %s\n' "$name" "${runs:-?}" "ok"
  else
    printf '%-26s %12s  %s\n' "$name" "${runs:-?}" "FAILED (exit $status)"
    grep -E "ERROR|SUMMARY|runtime error|Test unit written" "$log" | head -n 20 || true
    cp "$log" "$crashes/$name/last-run.log"
    failed+=("$name")
  fi
done

if ((${#failed[@]})); then
  echo "fuzzing failed in: ${failed[*]}; the inputs and the log are in $crashes/" >&2
  exit 1
fi
