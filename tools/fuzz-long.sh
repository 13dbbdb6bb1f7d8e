#!/usr/bin/env bash
# tools/fuzz-long.sh SECONDS [TARGET...]
# Runs the fuzz targets of fuzz/ (all of them, or those named) for SECONDS each, one after the
# other, each on a scratch copy of its seed corpus (<build>/fuzz/long/<target>/), as the fuzz tests
# do (same input lengths, same 512 MB limit, same sanitizer options as ./dev.sh test), and prints
# for each the executions, executions per second, peak memory and the processor time it used.
# <build> is the sanitized fuzz build of ./dev.sh test: build-sanitize, or $PLATINE_FUZZ_BUILD; run
# ./dev.sh test once first. On a shared machine run it under nice: executions per processor second
# still tell a target's speed on one core. Exits non-zero when a target reports a fault (its
# failing input is kept in its folder).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: tools/fuzz-long.sh SECONDS [TARGET...]}
shift
build=${PLATINE_FUZZ_BUILD:-build-sanitize}
list="$build/fuzz/targets.txt"
if [ ! -f "$list" ]; then
  echo "$list is missing: run ./dev.sh test first (or configure $build as it does)" >&2
  exit 2
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cmake --build "$build" -j"$(nproc)" --target $(cut -d' ' -f1 "$list") >/dev/null

failed=0
while read -r name fuzzer corpus maxLen; do
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then
    continue
  fi
  work="$build/fuzz/long/$name"
  TIMEFORMAT='%U %S'
  if ! cpu=$( { time cmake -DFUZZER="$fuzzer" -DCORPUS="$corpus" -DWORK="$work" \
                  -DSECONDS="$seconds" -DMAX_LEN="$maxLen" -P fuzz/RunFuzzer.cmake \
                  >/dev/null 2>&1; } 2>&1 ); then
    failed=1
  fi
  read -r user sys <<<"$cpu"
  runs=$(sed -n 's/.*: \([0-9]*\) runs in .*/\1/p' "$work/summary")
  awk -v s="$(cat "$work/summary")" -v u="$user" -v y="$sys" -v r="${runs:-0}" \
      'BEGIN { cpu = u + y; rate = 0; if (cpu > 0) rate = r / cpu;
               printf "%s; processor %.1f s (%.0f runs per processor second)\n", s, cpu, rate }'
done <"$list"
exit "$failed"
