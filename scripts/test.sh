#!/usr/bin/env bash
# Builds and runs every test. With --sanitize the tests are built with ASan and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
dir=build-tests
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    flags=(-DCMAKE_BUILD_TYPE=Debug -DQUIBORA_SANITIZE=ON -DQUIBORA_BENCH=OFF)
    export ASAN_OPTIONS=detect_leaks=0
fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir"
cd "$dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
