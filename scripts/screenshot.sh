#!/usr/bin/env bash
# Starts a portable copy of the program under Xvfb on a sample register and saves a
# screenshot of the screen. Usage: scripts/screenshot.sh OUT.png N [Lire|Euro] [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$1; n=$2; modo=${3:-Lire}; build=${4:-build}
command -v import >/dev/null || { sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get install -y -qq imagemagick >/dev/null; }
copia=$(mktemp -d); config=$(mktemp -d)
trap 'rm -rf "$copia" "$config"' EXIT
cp "$build/app/quibora" "$copia/"
[ "$n" -gt 0 ] && python3 scripts/genera_registro.py "$copia" "$n" "$modo"
[ "$n" -eq 0 ] && printf '"12345","Banca Uno"\r\n' > "$copia/dati.txt"
XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 800x600x24" bash -c "
    '$copia/quibora' & pid=\$!
    sleep 3
    import -window root '$(realpath -m "$out")'
    kill \$pid"
echo "saved $out"
