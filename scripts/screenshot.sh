#!/usr/bin/env bash
# Pictures of every window and message box of the program, at scale 1 and 1.5 and under a
# dark theme (*_scuro-1.png), and the top of a printed page, into docs/screenshots/ (or the
# folder given). Usage:
# scripts/screenshot.sh [folder] [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshots}"); build=${2:-build}
command -v convert >/dev/null || { sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get install -y -qq imagemagick >/dev/null; }
cmake --build "$build" --target schermate schermata_anteprima schermate_grafico
mkdir -p "$out"
lavoro=$(mktemp -d); trap 'rm -rf "$lavoro"' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/schermate" "$lavoro"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/schermata_anteprima" "$lavoro" \
    tests/data/excel/movimenti_1900.xlsx
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/schermate_grafico" "$lavoro"
QT_SCALE_FACTOR=1.5 xvfb-run -a -s "-screen 0 1600x1200x24" "$build/tools/schermate" "$lavoro"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/schermate" "$lavoro" scuro
pdftoppm -png -r 110 -f 1 -l 1 "$lavoro/printout.pdf" "$lavoro/pagina"
convert "$lavoro"/pagina-*.png -crop 100%x45%+0+0 +repage "$lavoro/printout.png"
# A 256-colour palette keeps the committed pictures small.
for f in "$lavoro"/*.png; do
    case $(basename "$f") in pagina-*) continue ;; esac
    convert "$f" -colors 256 "PNG8:$out/$(basename "$f")"
done
echo "saved in $out"
