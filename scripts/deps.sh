#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need (only those missing).
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev libofx-dev libcsv-dev libfreexl-dev libzip-dev libexpat1-dev libxlsxwriter-dev
          qt6-charts-dev qt6-translations-l10n poppler-utils xvfb xauth fonts-dejavu-core fonts-dejavu-extra
          desktop-file-utils dpkg-dev file clang libclang-rt-14-dev libcups2-dev
          appstream lintian)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
