#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on the seed
# corpus in tests/fuzz/<target>/. A crash fails the run and leaves its input in
# build-fuzz/crash-*: add it to tests/fuzz/<target>/ as a regression case.
# Usage: scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
secondi=${1:-20}
out=build-fuzz
mkdir -p "$out"
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I.)
core_src=(core/*.cpp)
totale=0
for target in importi date file_dati; do
    clang++ "${flags[@]}" "fuzz/fuzz_${target}.cpp" "${core_src[@]}" -o "$out/fuzz_${target}"
    corpus="$out/corpus_${target}"
    rm -rf "$corpus" && mkdir -p "$corpus" && cp tests/fuzz/${target}/* "$corpus/"
    "$out/fuzz_${target}" -max_total_time="$secondi" -print_final_stats=1 \
        -artifact_prefix="$out/crash-${target}-" "$corpus" 2> "$out/${target}.log" || {
        tail -40 "$out/${target}.log"; echo "fuzz_${target}: FAILED"; exit 1; }
    esecuzioni=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/${target}.log" | grep -o '[0-9]*$')
    echo "fuzz_${target}: ${esecuzioni} executions, no crash"
    totale=$((totale + esecuzioni))
done
echo "fuzzing: ${totale} executions in all"
