#!/usr/bin/env bash
# Start-up of the real program as a user meets it: a portable copy beside a generated
# register of N movements (100,000 unless given), started under Xvfb until its main window
# is on the screen. Reports, per run, the wall time to that point and the peak resident
# memory (/usr/bin/time -v), then the minimum and the median.
# Usage: scripts/misura.sh [build dir] [movements] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}; n=${2:-100000}; volte=${3:-3}
if [ -z "${MISURA_SU_XVFB:-}" ]; then
    exec env MISURA_SU_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$build" "$n" "$volte"
fi
lavoro=$(mktemp -d); trap 'rm -rf "$lavoro"' EXIT
cp "$build/app/quibora" "$lavoro/"
python3 scripts/genera_registro.py "$lavoro" "$n" >/dev/null
# No password file and no settings of the user's own.
export XDG_CONFIG_HOME=$lavoro/config XDG_DATA_HOME=$lavoro/dati XDG_RUNTIME_DIR=$lavoro/run
mkdir -m 700 "$XDG_RUNTIME_DIR"

tempi=(); memorie=()
for _ in $(seq "$volte"); do
    inizio=$(date +%s%N)
    /usr/bin/time -v -o "$lavoro/time.txt" "$lavoro/quibora" & tempo=$!
    until xwininfo -root -tree | grep -q '"Quibora Lite Edition (Free)'; do
        kill -0 "$tempo" 2>/dev/null || { echo "the program ended before its window showed"; exit 1; }
        sleep 0.005
    done
    fine=$(date +%s%N)
    # Killed, not closed: closing would save, which is not start-up.
    kill -KILL "$(pgrep -P "$tempo")"
    wait "$tempo" || true
    tempi+=($(( (fine - inizio) / 1000000 )))
    memorie+=($(awk -F': ' '/Maximum resident/ {print int($2 / 1024)}' "$lavoro/time.txt"))
    echo "run: ${tempi[-1]} ms, ${memorie[-1]} MB"
done
riassunto() { sort -n | awk '{v[NR] = $1} END {printf "min %d, median %d", v[1], v[int((NR + 1) / 2)]}'; }
echo "$n movements, main window shown: $(printf '%s\n' "${tempi[@]}" | riassunto) ms;" \
     "peak RSS $(printf '%s\n' "${memorie[@]}" | riassunto) MB"
