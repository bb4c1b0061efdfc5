#!/usr/bin/env bash
# Builds the fuzz target with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs it for SECONDS (default 60) from the seed corpus in tests/fuzz/corpus/.
# New inputs go to build/fuzz/corpus/, failing inputs to out/fuzz/.  An input runs in
# milliseconds (the stand-in's clock is virtual and a loop nobody ends aborts); the
# generous per-input limit only keeps a machine busy with other work from counting as a hang.
# Prints the run's figures and a closing "fuzz: N passed, N failed" line.
set -uo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
build=build/fuzz
mkdir -p "$build/corpus" out/fuzz
cmake -S . -B "$build" -DLAUNCHER_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build "$build" --target setup_fuzz -j2 >/dev/null || exit 1

log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$build/tests/fuzz/setup_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=60 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=out/fuzz/ \
    "$build/corpus" tests/fuzz/corpus >"$log" 2>&1
rc=$?

# The last status line: "#N  DONE   cov: C ft: F corp: U/S ..." (or pulse/NEW lines).
status=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
executions=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log")
per_second=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$log")
echo "seconds:    $seconds"
echo "executions: ${executions:-?} (${per_second:-?} per second)"
echo "coverage:   $(echo "$status" | grep -Eo 'cov: [0-9]+ ft: [0-9]+')"
echo "corpus:     $(echo "$status" | grep -Eo 'corp: [0-9]+/[0-9]+[a-zA-Z]*') (inputs/bytes, seeds included)"
if [ $rc -ne 0 ]; then
    tail -n 60 "$log"
    echo "fuzz: 0 passed, 1 failed"
    exit 1
fi
echo "fuzz: 1 passed, 0 failed"
