#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks that every file lands in its standard place,
# and validates the desktop entry and the AppStream metainfo as a desktop would read them. Then
# builds the Debian package, checks its files, its dependencies and lintian's verdict, and, as
# root, installs and removes it as a user would.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$(readlink -f "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
id=fr.quadrilex.Quadrilex
files=(bin/quadrilex share/applications/$id.desktop share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/quadrilex.svg share/doc/quadrilex/copyright
  share/doc/quadrilex/changelog.gz share/man/man1/quadrilex.1.gz)
for f in "${files[@]}"; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
[ -x "$prefix/bin/quadrilex" ] || { echo "bin/quadrilex is not executable" >&2; exit 1; }
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
echo "installed files valid"

# The package, made in a folder of its own so that a run leaves nothing in the build.
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" | grep -v "^CPack" || true)
deb=$(ls "$scratch"/deb/quadrilex_*_*.deb)
version=$(sed -n 's/^project(Quadrilex VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
[ "$(basename "$deb")" = "quadrilex_${version}_$(dpkg --print-architecture).deb" ] ||
  { echo "package named $(basename "$deb")" >&2; exit 1; }
listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort)
expected=$(printf '%s\n' "${files[@]}" | sort)
[ "$listed" = "$expected" ] || { echo "package files differ:"; diff <(echo "$expected") <(echo "$listed"); exit 1; } >&2
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6gui6 libqt6core6 libqt6sql6 libqt6sql6-sqlite libc6 libstdc++6; do
  [[ ", $depends," == *", $d"[\ ,]* ]] || { echo "no dependency on $d: $depends" >&2; exit 1; }
done
fields=$(dpkg-deb -f "$deb" Section Recommends)
[ "$fields" = $'Section: misc\nRecommends: wfrench, qt6-translations-l10n' ] ||
  { echo "fields: $fields" >&2; exit 1; }
[[ $(dpkg-deb -f "$deb" Description) == *$'\n Quadrilex accompagne '* ]] ||
  { echo "no French description" >&2; exit 1; }
verdict=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[ -z "$verdict" ] || { echo "lintian: $verdict" >&2; exit 1; }
echo "package $(basename "$deb") valid, lintian clean"

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: installing the package needs root"
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
[ "$(dpkg-query -W -f='${Status} ${Version}' quadrilex)" = "install ok installed $version" ] ||
  { echo "not installed: $(dpkg-query -W quadrilex 2>&1)" >&2; exit 1; }
[ -x /usr/bin/quadrilex ] && [ -f /usr/share/applications/$id.desktop ] ||
  { echo "the installed package misses its files" >&2; exit 1; }
apt-get remove -y -qq --purge quadrilex >/dev/null
! grep -q 'ok installed' <<<"$(dpkg-query -W -f='${Status}' quadrilex 2>/dev/null)" &&
  [ ! -e /usr/bin/quadrilex ] && [ ! -e /usr/share/applications/$id.desktop ] ||
  { echo "the package did not remove cleanly" >&2; exit 1; }
echo "package installed and removed"
