#!/bin/sh
# The native lane: builds vorda's pure code for this machine with clang
# under AddressSanitizer and UndefinedBehaviorSanitizer and runs each
# libFuzzer target for a bounded time (VORDA_FUZZ_SECONDS, default 4),
# printing how many inputs each one ran. A finding fails the run and
# leaves the input that found it in build/native/findings/.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build/native"
seconds="${VORDA_FUZZ_SECONDS:-4}"

cmake -S tests/native -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"

mkdir -p "$build/findings" "$build/corpus"
total=0
failed=""
for name in $(tr ';' ' ' < "$build/fuzzers.txt"); do
  log="$build/$name.log"
  mkdir -p "$build/corpus/$name"
  # The corpus grows from run to run in the build tree; inputs that once
  # found something are kept in the source tree and run every time.
  seeds=""
  [ -d "tests/native/regressions/$name" ] && seeds="tests/native/regressions/$name"
  if UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ASAN_OPTIONS=detect_leaks=1 \
     "$build/$name" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
       -timeout=20 -artifact_prefix="$build/findings/$name-" "$build/corpus/$name" $seeds >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "native: $name ran ${runs:-?} inputs in ${seconds}s, no finding"
    total=$((total + ${runs:-0}))
  else
    echo "native: $name FAILED; log $log:"
    tail -40 "$log"
    failed="$failed $name"
  fi
done
echo "native: $total fuzz executions in all"
[ -z "$failed" ] || { echo "native: findings in$failed"; exit 1; }
