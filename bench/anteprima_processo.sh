#!/usr/bin/env bash
# The real program started on a statement of N rows (`quibora FILE`) under Xvfb: seconds until
# the preview's window (900x560, not the wait box) is on the screen, the process's CPU time
# and peak memory. Ends it with SIGTERM, which saves and quits.
# Usage: bench/anteprima_processo.sh [rows] [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
righe=${1:-50000}; build=$(realpath "${2:-build}")
lavoro=$(mktemp -d); trap 'rm -rf "$lavoro"' EXIT
# The program keeps its data beside itself when that folder is writable.
cp "$build/app/quibora" "$lavoro/quibora"
printf '"12345","Banca Uno"\r\n' >"$lavoro/dati.txt"
{
    printf 'Data;Data valuta;Descrizione;Dare;Avere\r\n'
    for ((i = 0; i < righe; i++)); do
        d=$(printf '%02d/%02d/%04d' $((1 + i % 28)) $((1 + i / 28 % 12)) $((2030 + i / 336)))
        if ((i % 3)); then c="$((1 + i % 500)),25;"; else c=";$((1 + i % 500)),25"; fi
        printf '%s;%s;Pagamento POS negozio %d;%s\r\n' "$d" "$d" "$i" "$c"
    done
} >"$lavoro/estratto.csv"
cat >"$lavoro/misura.sh" <<'EOF'
set -u
cd "$1"
inizio=$(date +%s.%N)
HOME="$1" XDG_CONFIG_HOME="$1/conf" /usr/bin/time -v -o "$1/tempo" ./quibora estratto.csv &
for ((k = 0; k < 1200; k++)); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Importa estratto conto".* 900x560' && break
    sleep 0.025
done
fine=$(date +%s.%N)
echo "preview on screen after $(echo "$fine - $inizio" | bc) s"
sleep 1
kill -TERM "$(pgrep -P $!)"
wait
grep -E 'Maximum resident|User time|System time' "$1/tempo"
EOF
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$lavoro/misura.sh" "$lavoro"
