#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks that every file lands in its standard place,
# and validates the desktop entry and the AppStream metainfo as a desktop would read them.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
id=fr.quadrilex.Quadrilex
for f in bin/quadrilex share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/icons/hicolor/scalable/apps/quadrilex.svg; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
[ -x "$prefix/bin/quadrilex" ] || { echo "bin/quadrilex is not executable" >&2; exit 1; }
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
echo "installed files valid"
