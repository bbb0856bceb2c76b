#!/usr/bin/env bash
# Installs the build into a scratch root and checks what a desktop and a software centre
# expect to find there, then builds the .deb, checks that its dependencies were found and
# has lintian judge it as Debian would.
set -euo pipefail
build=$1
radice=$(mktemp -d)
trap 'rm -rf "$radice"' EXIT
DESTDIR="$radice" cmake --install "$build" --prefix /usr >/dev/null
for f in usr/bin/quibora usr/share/applications/quibora.desktop \
         usr/share/metainfo/it.quibora.quibora.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/quibora.svg \
         usr/share/icons/hicolor/48x48/apps/quibora.png usr/share/man/man1/quibora.1.gz \
         usr/share/doc/quibora/copyright usr/share/doc/quibora/changelog.gz; do
    [ -e "$radice/$f" ] || { echo "missing after install: $f"; exit 1; }
done
desktop-file-validate "$radice/usr/share/applications/quibora.desktop"
appstreamcli validate --no-net --pedantic "$radice/usr/share/metainfo/it.quibora.quibora.metainfo.xml"
file "$radice/usr/share/icons/hicolor/48x48/apps/quibora.png" | grep -q '48 x 48' ||
    { echo "the 48 px icon is not 48 x 48"; exit 1; }
(cd "$build" && cpack -G DEB -B "$radice/deb" >/dev/null)
deb=$(ls "$radice"/deb/*.deb)
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' ||
    { echo "the package does not depend on Qt: $(dpkg-deb -f "$deb" Depends)"; exit 1; }
# Errors fail; the warnings left are explained in README's "Installing".
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "installed and packaged: $(basename "$deb")"
