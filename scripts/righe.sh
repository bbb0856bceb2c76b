#!/usr/bin/env bash
# Prints the non-blank lines of code and of tests per folder and their ratio, to keep the
# tests between a quarter and a third of the code.
# Code: the .cpp and .h files of the program's folders (bench/ and fuzz/ are shown apart and
# left out of the total). Tests: every file under tests/<folder>/, data files included; the
# fuzz seeds (tests/fuzz/<target>/) are inputs, not tests, and are left out. Binary samples
# (a bank's .xls or .xlsx) have no lines to count and are left out too.
set -euo pipefail
cd "$(dirname "$0")/.."

righe() { # non-blank lines of the text files found by `find "$@"`
    find "$@" -type f -print0 2>/dev/null | xargs -0 -r grep -Ih '[^[:space:]]' | wc -l
}
codice() { [ -d "$1" ] && righe "$1" \( -name '*.cpp' -o -name '*.h' \) || echo 0; }
prove() { [ -d "tests/$1" ] && righe "tests/$1" || echo 0; }
rapporto() { [ "$1" -gt 0 ] && awk -v t="$2" -v c="$1" 'BEGIN { printf "%.2f", t / c }' || echo -; }

cartelle=(core grid ui printing entry setup main_window startup estratti app)
tot_c=0
tot_t=0
printf '%-16s %7s %7s %7s\n' folder code tests ratio
for d in "${cartelle[@]}"; do
    c=$(codice "$d")
    t=$(prove "$d")
    tot_c=$((tot_c + c))
    tot_t=$((tot_t + t))
    printf '%-16s %7d %7d %7s\n' "$d" "$c" "$t" "$(rapporto "$c" "$t")"
done
# Tests that belong to no single folder.
for d in acceptance support packaging data; do
    t=$(prove "$d")
    tot_t=$((tot_t + t))
    printf '%-16s %7s %7d\n' "tests/$d" - "$t"
done
t=$(righe tests -maxdepth 1)
t=$((t + $(righe tests/fuzz -maxdepth 1)))
tot_t=$((tot_t + t))
printf '%-16s %7s %7d\n' "tests/ (rest)" - "$t"
printf '%-16s %7d %7d %7s\n' total "$tot_c" "$tot_t" "$(rapporto "$tot_c" "$tot_t")"
printf '%-16s %7d %7s\n' "(bench)" "$(codice bench)" -
printf '%-16s %7d %7s\n' "(fuzz)" "$(codice fuzz)" -
