#!/usr/bin/env bash
# Every action of a session, timed on the real program as a user meets it: a portable copy
# beside a generated register of N movements, started under Xvfb and driven from the
# keyboard with xdotool (Debian package `xdotool`, which this script needs besides the
# build's own). For each size and run, the wall time of:
#   avvio         start to the main window on the screen
#   inserimento   OK in the entry window to the register on the disk
#   rimozione     "Rim.1° Movim." to the register on the disk
#   cambio        "Gestisci in €uro" to the register and the parameters on the disk
#   esportazione  Save in the export's file dialog to the CSV file in place
#   andamento     Ctrl+G to the "Andamento del saldo" window on the screen
#   stampa        OK in the print dialog ("Stampa tutto") to the PDF file in place (the
#                 program is shown no print server, so it prints into a PDF beside its data)
#   uscita        "Esci" (File > Esci) to the end of the process (the exit saves)
# Buttons are pressed with Space or Return where they have the focus, or through the menu's
# shortcuts (Ctrl+P, Ctrl+Q), never by their Alt+letter: a mnemonic shows the button pressed
# for 100 ms before it acts, which is not the program's time. Each time includes xdotool's
# own start, 2-3 ms.
# Reported also: the process's peak resident memory (/usr/bin/time -v); then, per action,
# the minimum and the median over the runs.
# "On the disk" is the data folder settled: some file in it is new or changed (the register
# files, the parameters, a journal) and no save is half-way (no marker, no ".nuovo" or
# ".vecchio" file).
#
# Usage: bench/azioni_processo.sh [build dir] [movements...] [runs]
#   movements  10000 100000 1000000 unless given; the last number is the runs when it is
#              below 100 (3 unless given).
#   AZIONI="inserimento rimozione ..." times only those (the others are still skipped over:
#   each run is a fresh copy); TIMEOUT=seconds overrides the limit for one action.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-release
if [ $# -gt 0 ] && ! [[ $1 =~ ^[0-9]+$ ]]; then build=$1; shift; fi
numeri=("$@")
volte=3
if [ ${#numeri[@]} -gt 0 ] && [ "${numeri[-1]}" -lt 100 ]; then
    volte=${numeri[-1]}
    unset 'numeri[-1]'
fi
[ ${#numeri[@]} -gt 0 ] || numeri=(10000 100000 1000000)
for n in "${numeri[@]}"; do
    [[ $n =~ ^[0-9]+$ ]] && [ "$n" -ge 2 ] || { echo "not a number of movements: $n" >&2; exit 2; }
done
azioni=${AZIONI:-inserimento rimozione cambio esportazione andamento stampa uscita}
programma=$(realpath "$build/app/quibora")
[ -x "$programma" ] || { echo "no program at $build/app/quibora: build it first" >&2; exit 2; }
for c in xdotool xvfb-run xwininfo python3 /usr/bin/time; do
    command -v "$c" >/dev/null ||
        { echo "$c is missing (apt-get install xdotool xvfb x11-utils time)" >&2; exit 2; }
done
if [ -z "${AZIONI_SU_XVFB:-}" ]; then
    exec env AZIONI_SU_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$build" \
        "${numeri[@]}" "$volte"
fi

lavoro=$(mktemp -d)
qpid=""
tpid=""
pulisci() {
    if [ -n "$qpid" ] && kill -0 "$qpid" 2>/dev/null; then kill -KILL "$qpid" 2>/dev/null || true; fi
    rm -rf "$lavoro"
}
trap pulisci EXIT

# Waits for a condition after running a command, and prints the milliseconds from just
# before the command to the condition met; exits 1 after the time limit.
#   attendi.py salvato FOLDER  LIMIT -- CMD   the folder changed and settled
#   attendi.py file    GLOB    LIMIT -- CMD   a file matching GLOB exists
#   attendi.py finestra REGEX  LIMIT -- CMD   a visible window whose name matches
#   attendi.py fine    PID     LIMIT -- CMD   the process has ended
cat >"$lavoro/attendi.py" <<'EOF'
import glob, os, re, subprocess, sys, time
modo, bersaglio, limite = sys.argv[1], sys.argv[2], float(sys.argv[3])
comando = sys.argv[5:]
A_META = re.compile(r"^\.(salvataggio|annullamento)|\.(nuovo|vecchio)$")

def istantanea():
    s = {}
    with os.scandir(bersaglio) as voci:
        for v in voci:
            try:
                if v.is_file(follow_symlinks=False):
                    st = v.stat(follow_symlinks=False)
                    s[v.name] = (st.st_mtime_ns, st.st_size, st.st_ino)
            except FileNotFoundError:  # renamed away while being read: a save under way
                s[v.name + ".nuovo"] = None
    return s

prima = istantanea() if modo == "salvato" else None

def fatto():
    if modo == "salvato":
        ora = istantanea()
        return ora != prima and not any(A_META.search(n) for n in ora)
    if modo == "file":
        return bool(glob.glob(bersaglio))
    if modo == "finestra":
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", bersaglio],
                           capture_output=True)
        return r.returncode == 0 and r.stdout.strip() != b""
    try:
        with open(f"/proc/{bersaglio}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] == "Z"
    except OSError:  # gone, or going
        return True

inizio = time.monotonic()
if comando:
    subprocess.run(comando, check=True)
while not fatto():
    if time.monotonic() - inizio > limite:
        sys.exit(1)
    time.sleep(0.001)
print(round((time.monotonic() - inizio) * 1000))
EOF

finestre() {
    [ -n "$qpid" ] || return 0
    for w in $(xdotool search --onlyvisible --pid "$qpid" 2>/dev/null); do
        echo "  \"$(xdotool getwindowname "$w" 2>/dev/null)\""
    done
}
fallisci() {
    echo "FAILED ($n movements, run $volta): $1" >&2
    echo "windows on the screen:" >&2
    finestre >&2
    local schermata=${TMPDIR:-/tmp}/azioni_processo-errore.png
    if command -v import >/dev/null && import -window root "$schermata" 2>/dev/null; then
        echo "the screen is in $schermata" >&2
    fi
    exit 1
}
# Times one action: label, mode, target, then the command that starts it.
tempo=0
misura() {
    local cosa=$1 modo=$2 bersaglio=$3
    shift 3
    tempo=$(python3 "$lavoro/attendi.py" "$modo" "$bersaglio" "$limite" -- "$@") ||
        fallisci "$cosa: not done within $limite s"
}
# Waits untimed for what a step needs before the next one.
aspetta() {
    local cosa=$1 modo=$2 bersaglio=$3
    python3 "$lavoro/attendi.py" "$modo" "$bersaglio" "$limite" >/dev/null || fallisci "$cosa"
}
# Waits until the main window is the only one left, and gives it the keyboard.
solo_principale() {
    local k
    for ((k = 0; k < 400; k++)); do
        [ "$(finestre | wc -l)" -eq 1 ] && break
        sleep 0.025
    done
    [ "$(finestre | wc -l)" -eq 1 ] || fallisci "$1: a window stayed open"
    xdotool windowfocus --sync "$principale"
}
attiva() { [[ " $azioni " == *" $1 "* ]]; }
riassunto() {
    sort -n | awk 'NF {v[++c] = $1} END {if (c) printf "min %d, median %d", v[1], v[int((c + 1) / 2)]}'
}
titolo='^Quibora Lite Edition \(Free\)'
export HOME=$lavoro/casa XDG_CONFIG_HOME=$lavoro/casa/config XDG_DATA_HOME=$lavoro/casa/dati
export XDG_RUNTIME_DIR=$lavoro/casa/run XDG_CACHE_HOME=$lavoro/casa/cache
# No print server: the printout goes into a PDF file, never to a real printer.
export CUPS_SERVER=$lavoro/casa/nessun-server-di-stampa

declare -A risultati
for n in "${numeri[@]}"; do
    volta=0
    limite=${TIMEOUT:-$((60 + n / 4000))}
    rm -rf "$lavoro/base"
    mkdir -p "$lavoro/base"
    python3 scripts/genera_registro.py "$lavoro/base" "$n" >/dev/null
    # The entry's date must not precede the last movement's.
    ultima=$(tail -n 1 "$lavoro/base/listcol1.txt" | tr -d '"\r')
    for volta in $(seq "$volte"); do
        dati=$lavoro/prova
        rm -rf "$dati" "$lavoro/casa" "$lavoro/uscita"
        mkdir -p "$dati" "$lavoro/uscita"
        mkdir -p -m 700 "$XDG_RUNTIME_DIR"
        cp "$lavoro"/base/* "$dati/"
        cp "$programma" "$dati/quibora"
        cd "$dati"
        inizio=$(date +%s%N)
        /usr/bin/time -v -o "$lavoro/time.txt" ./quibora >"$lavoro/uscita.log" 2>&1 &
        tpid=$!
        for ((k = 0; k < 100; k++)); do
            qpid=$(pgrep -P "$tpid" || true)
            [ -n "$qpid" ] && break
            sleep 0.01
        done
        cd - >/dev/null
        [ -n "$qpid" ] || fallisci "the program did not start: $(cat "$lavoro/uscita.log")"
        python3 "$lavoro/attendi.py" finestra "$titolo" "$limite" >/dev/null ||
            fallisci "the main window did not show"
        risultati[$n,avvio]+="$((($(date +%s%N) - inizio) / 1000000)) "
        principale=$(xdotool search --onlyvisible --name "$titolo" | head -n 1)
        xdotool windowfocus --sync "$principale"

        if attiva inserimento; then
            # The list of types has the focus at the start: "V" picks "Versamento".
            xdotool key V Return
            aspetta "the entry window did not open" finestra '^Versamento$'
            xdotool type --delay 0 1000
            xdotool key shift+Tab ctrl+a
            xdotool type --delay 0 "$ultima"
            xdotool key Tab Tab
            xdotool type --delay 0 prova
            xdotool key Tab
            misura "entry (refused, or never saved)" salvato "$dati" xdotool key space
            risultati[$n,inserimento]+="$tempo "
            solo_principale "entry"
        fi
        if attiva rimozione; then
            # The list has the focus back; "Rim.1° Movim." follows it in the tab order.
            xdotool key Tab
            misura "removal of the first movement" salvato "$dati" xdotool key space
            risultati[$n,rimozione]+="$tempo "
            solo_principale "removal"
        fi
        if attiva cambio; then
            # "Gestisci in €uro" follows "Rim.1° Movim." and "Stampa" in the tab order; the
            # removal leaves the focus on its button, else the list has it.
            if attiva rimozione; then xdotool key Tab Tab; else xdotool key Tab Tab Tab; fi
            misura "currency switch" salvato "$dati" xdotool key space
            risultati[$n,cambio]+="$tempo "
            solo_principale "currency switch"
        fi
        if attiva esportazione; then
            xdotool key ctrl+e
            aspetta "the export window did not open" finestra '^Esporta$'
            xdotool key Return
            # The file dialog has the same title as the window that opened it.
            for ((k = 0; k < 400; k++)); do
                [ "$(xdotool search --onlyvisible --name '^Esporta$' | wc -l)" -ge 2 ] && break
                sleep 0.025
            done
            [ "$(xdotool search --onlyvisible --name '^Esporta$' | wc -l)" -ge 2 ] ||
                fallisci "the export's file dialog did not open"
            sleep 0.2
            xdotool key ctrl+a
            xdotool type --delay 0 "$lavoro/uscita/registro.csv"
            misura "export" file "$lavoro/uscita/registro.csv" xdotool key Return
            risultati[$n,esportazione]+="$tempo "
            solo_principale "export"
        fi
        if attiva andamento; then
            misura "Andamento del saldo" finestra '^Andamento del saldo$' xdotool key ctrl+g
            risultati[$n,andamento]+="$tempo "
            xdotool key Escape
            solo_principale "Andamento del saldo"
        fi
        if attiva stampa; then
            xdotool key ctrl+p
            aspetta "the print dialog did not open" finestra '^Stampa$'
            # From "Stampa tutto" to OK.
            xdotool key Tab
            misura "printing" file "$dati/stampa-registro-*.pdf" xdotool key Return
            risultati[$n,stampa]+="$tempo "
            # "Nessuna stampante installata: la stampa è stata salvata nel file ..."
            aspetta "no message after printing" finestra '^Quibora Lite Edition$'
            xdotool key Return
            solo_principale "printing"
        fi
        if attiva uscita; then
            misura "exit" fine "$qpid" xdotool key ctrl+q
            risultati[$n,uscita]+="$tempo "
        else
            xdotool key ctrl+q
            aspetta "the program did not end" fine "$qpid"
        fi
        wait "$tpid" || fallisci "the program ended with an error: $(tail -n 5 "$lavoro/uscita.log")"
        qpid=""
        risultati[$n,memoria]+="$(awk -F': ' '/Maximum resident/ {print int($2 / 1024)}' "$lavoro/time.txt") "
        riga="run $volta:"
        for a in avvio $azioni; do
            ultimo=(${risultati[$n,$a]:-})
            [ ${#ultimo[@]} -gt 0 ] && riga+=" $a ${ultimo[-1]} ms,"
        done
        ultimo=(${risultati[$n,memoria]})
        echo "$n movements, $riga peak RSS ${ultimo[-1]} MB"
    done
done

echo
printf '%-14s' "ms (min, median)"
for n in "${numeri[@]}"; do printf '  %-24s' "$n movements"; done
echo
for a in avvio $azioni memoria; do
    printf '%-14s' "$([ $a = memoria ] && echo "peak RSS MB" || echo "$a")"
    for n in "${numeri[@]}"; do
        printf '  %-24s' "$(printf '%s\n' ${risultati[$n,$a]:-} | riassunto)"
    done
    echo
done
