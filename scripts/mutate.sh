#!/usr/bin/env bash
# Mutation run: applies each small fault of scripts/mutanti.txt, one at a time, to a scratch
# copy of the tree, rebuilds what changed and runs the test executables that the change
# relinked (the others cannot see it). A mutant is killed when one of them fails or hangs.
# The report names, for each mutant, the test executables and test files that killed it, and
# for each test file the mutants it alone kills.
#
# Usage: scripts/mutate.sh [mutants file] [only mutants whose block matches the regex FILTER]
# e.g. scripts/mutate.sh scripts/mutanti.txt '^(setup|startup)/'
# A FILTER of numbers (e.g. '3 14 27') runs just those mutants.
# The scratch tree and its build stay in build-mutate/ (never the working tree), so a second
# run rebuilds only what changed since. A developer tool: not part of CI.
set -euo pipefail
cd "$(dirname "$0")/.."
radice=$PWD
elenco=$(realpath "${1:-scripts/mutanti.txt}")
filtro=${2:-}
scratch=$radice/build-mutate
src=$scratch/src
build=$scratch/build
out=$scratch/risultati
secondi=${MUTATE_TIMEOUT:-30}
export QT_QPA_PLATFORM=offscreen
mkdir -p "$src" "$out"

# The tracked and new files, copied only where they differ, so that ninja rebuilds only what
# changed; a file copied over gets a fresh time stamp, which ninja needs to see the change.
git ls-files -z --cached --others --exclude-standard | while IFS= read -r -d '' f; do
    [ -f "$f" ] || continue
    cmp -s "$f" "$src/$f" 2>/dev/null || { mkdir -p "$src/$(dirname "$f")"; cp "$f" "$src/$f"; }
done

# Files gone from the tree go from the scratch copy too: a test file merged into another would
# otherwise still be built there, twice.
(cd "$src" && find . -type f -print0) | while IFS= read -r -d '' f; do
    [ -f "$radice/${f#./}" ] || rm -f "$src/${f#./}"
done

if [ ! -f "$build/build.ninja" ]; then
    lanciatore=()
    command -v ccache >/dev/null && lanciatore=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUIBORA_BENCH=OFF \
        "${lanciatore[@]}" >/dev/null
fi

eseguibili() { find "$build/tests" -maxdepth 1 -type f -executable -name '*_*tests' | sort; }
# Runs a test executable from where ctest runs it: unmutated within five minutes (a loaded machine
# is slow), then within three times its unmutated time plus MUTATE_TIMEOUT seconds (a
# fault that leaves a modal box open must not stall the run).
declare -A limite
esegui() { # executable, log file
    (cd "$build/tests" &&
     nice -n 19 timeout -k 5 "${limite[$(basename "$1")]:-300}" "$1" </dev/null >"$2" 2>&1)
}

echo "building the scratch tree in $build"
nice -n 19 ninja -C "$build" >"$out/costruzione.log" 2>&1 ||
    { tail -30 "$out/costruzione.log"; echo "the unmutated tree does not build"; exit 1; }
for e in $(eseguibili); do
    inizio=$(date +%s)
    esegui "$e" "$out/base-$(basename "$e").log" ||
        { tail -30 "$out/base-$(basename "$e").log"; echo "$(basename "$e") fails unmutated"; exit 1; }
    durata=$(($(date +%s) - inizio))
    limite[$(basename "$e")]=$((3 * durata + secondi))
    echo "  $(basename "$e") passes unmutated in $durata s"
done

# Which test file holds each test suite, to name the files that kill.
declare -A file_di
while IFS=: read -r file suite; do
    file_di[$suite]=${file#tests/}
done < <(grep -rhoE --include='*.cpp' -H '^(TEST|TEST_F|TEST_P)\([A-Za-z0-9_]+' tests |
         sed -E 's/:(TEST|TEST_F|TEST_P)\(/:/')

python3 - "$elenco" "$filtro" >"$out/mutanti.tsv" <<'EOF'
import re, sys
# Blocks separated by blank lines: a file, "- original", "+ replacement" ("+" alone drops it).
testo = open(sys.argv[1], encoding="utf-8").read()
n = 0
for blocco in testo.split("\n\n"):
    righe = [r for r in blocco.splitlines() if r and not r.startswith("#")]
    if not righe:
        continue
    n += 1
    assert len(righe) == 3 and righe[1].startswith("- ") and righe[2].startswith("+"), blocco
    filtro = sys.argv[2]
    if re.fullmatch(r"[\d ]+", filtro):
        if str(n) not in filtro.split():
            continue
    elif filtro and not re.search(filtro, blocco, re.M):
        continue
    print("\t".join([str(n), righe[0], righe[1][2:], righe[2][2:]]))
EOF

applica() { # file, original, replacement: exits 2 unless the original occurs exactly once
    python3 - "$@" <<'EOF'
import sys
nome, prima, dopo = sys.argv[1:4]
testo = open(nome, encoding="utf-8").read()
if testo.count(prima) != 1:
    sys.exit(2)
open(nome, "w", encoding="utf-8").write(testo.replace(prima, dopo))
EOF
}

totale=0; uccisi=0; sopravvissuti=(); non_valide=()
declare -A uccisioni_file uccisioni_eseguibile
: >"$out/esito.tsv"
while IFS=$'\t' read -r n file prima dopo; do
    totale=$((totale + 1))
    descr="#$n $file: '$prima' -> '$dopo'"
    cp "$src/$file" "$out/originale"
    if ! applica "$src/$file" "$prima" "$dopo"; then
        non_valide+=("$descr (text not found exactly once)"); continue
    fi
    if ! nice -n 19 ninja -C "$build" </dev/null >"$out/mutante.log" 2>&1; then
        cp "$out/originale" "$src/$file"
        non_valide+=("$descr (does not build)"); continue
    fi
    rilinkati=$(grep -oE 'Linking CXX executable tests/[a-z_]+' "$out/mutante.log" | awk '{print $4}' || true)
    chi=(); file_uccisori=()
    for e in $rilinkati; do
        log=$out/m$n-$(basename "$e").log
        if esegui "$build/$e" "$log"; then
            rm -f "$log"; continue
        fi
        chi+=("$(basename "$e")")
        suite=$(grep -oE '^\[  FAILED  \] [A-Za-z0-9_/]+\.' "$log" | sed -E 's/^\[  FAILED  \] //; s/\.$//; s|^.*/||' | sort -u || true)
        [ -z "$suite" ] && file_uccisori+=("$(basename "$e")(crash/timeout)")
        for s in $suite; do file_uccisori+=("${file_di[$s]:-$s}"); done
    done
    cp "$out/originale" "$src/$file"
    file_uccisori=($(printf '%s\n' "${file_uccisori[@]}" | sort -u))
    if [ ${#chi[@]} -gt 0 ]; then
        uccisi=$((uccisi + 1))
        echo "killed    $descr by ${chi[*]} [${file_uccisori[*]}]"
        printf '%s\t%s\t%s\n' "$n" "${chi[*]}" "${file_uccisori[*]}" >>"$out/esito.tsv"
        [ ${#chi[@]} -eq 1 ] && uccisioni_eseguibile[${chi[0]}]+="#$n "
        [ ${#file_uccisori[@]} -eq 1 ] && uccisioni_file[${file_uccisori[0]}]+="#$n "
    else
        sopravvissuti+=("$descr")
        echo "SURVIVED  $descr (ran: $(echo $rilinkati | xargs -r -n1 basename | xargs))"
    fi
done <"$out/mutanti.tsv"
# Leave the scratch build unmutated for the next run.
nice -n 19 ninja -C "$build" >/dev/null 2>&1 || true

echo
echo "killed ${uccisi} of $((totale - ${#non_valide[@]})) mutants ($totale listed)"
for s in "${sopravvissuti[@]}"; do echo "  survived: $s"; done
for s in "${non_valide[@]}"; do echo "  not run: $s"; done
echo "test executables and the mutants only they kill:"
for e in $(eseguibili); do
    b=$(basename "$e"); echo "  $b: ${uccisioni_eseguibile[$b]:-none}"
done
echo "test files and the mutants only they kill:"
for f in $(find tests -name '*test.cpp' | sed 's|^tests/||' | sort); do
    echo "  $f: ${uccisioni_file[$f]:-none}"
done
